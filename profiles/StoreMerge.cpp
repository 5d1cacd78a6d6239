#include "profiles/StoreMerge.h"

#include "profiles/StoreLines.h"

#include <QStringList>

#include <algorithm>

namespace rdp::store {

namespace {

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Profiles are matched by name and, among equal names, by their order: the second "A" of
// one list is the second "A" of the other. `Names` is any sequence whose elements `name`
// gives the name of.
template <typename Names, typename Name>
int FindNth(const Names& names, Name name, const QString& wanted, int nth) {
    int position = 0;
    for (const auto& element : names) {
        ++position;
        if (SameName(name(element), wanted) && --nth == 0) {
            return position;
        }
    }
    return 0;
}

// Which of its equal names the profile at `position` is (1 for the first).
template <typename Names, typename Name> int NthOf(const Names& names, Name name, int position) {
    QStringList upTo;
    for (const auto& element : names) {
        upTo.append(name(element));
        if (upTo.size() == position) {
            break;
        }
    }
    return static_cast<int>(std::count_if(
        upTo.begin(), upTo.end(), [&](const QString& n) { return SameName(n, upTo.last()); }));
}

const QString& StoredName(const StoredProfile& p) {
    return p.name;
}
const QString& ItemName(const RDP_ConnectParaItems& p) {
    return p.ConnectName();
}

const StoredProfile* FindStored(const std::vector<StoredProfile>& profiles, const QString& name,
                                int nth) {
    const int at = FindNth(profiles, StoredName, name, nth);
    return at == 0 ? nullptr : &profiles[static_cast<std::size_t>(at - 1)];
}

struct Merged {
    std::vector<RDP_ConnectParaItems> items;
    bool conflict = false;
    int selected = 0; // the place in `items` of this copy's selection, from 1
};

// This copy's profile `p` at `position`: the version that wins, or none when it was deleted
// elsewhere and is unchanged here (unless it is this copy's selection).
void TakeOne(const RDP_ConnectPara& mine, const RDP_ConnectPara& onDisk,
             const std::vector<StoredProfile>& disk, int position, Merged& out) {
    const RDP_ConnectParaItems& p = mine.Item(position);
    const bool selected = position == mine.SelectIndex();
    const int nth = NthOf(mine, ItemName, position);
    const StoredProfile* base = FindStored(mine.Stored(), p.ConnectName(), nth);
    const int there = FindNth(onDisk, ItemName, p.ConnectName(), nth);
    const QString line = RecordLine(p);
    const bool changedHere = base == nullptr || base->line != line;
    if (there == 0 && base != nullptr && !changedHere && !selected) {
        return; // deleted elsewhere
    }
    if (there == 0) {
        out.conflict = out.conflict || base != nullptr;
    } else if (!changedHere) {
        out.items.push_back(onDisk.Item(there));
    } else {
        const QString& theirs = disk[static_cast<std::size_t>(there - 1)].line;
        const bool changedThere = base == nullptr || base->line != theirs;
        out.conflict = out.conflict || (changedThere && theirs != line);
    }
    if (there == 0 || changedHere) {
        out.items.push_back(p);
    }
    if (selected) {
        out.selected = static_cast<int>(out.items.size());
    }
}

// The profiles that only the store holds: new ones are kept, ones deleted here stay gone.
void TakeTheirs(const RDP_ConnectPara& mine, const RDP_ConnectPara& onDisk,
                const std::vector<StoredProfile>& disk, Merged& out) {
    for (int position = 1; position <= static_cast<int>(disk.size()); ++position) {
        const StoredProfile& p = disk[static_cast<std::size_t>(position - 1)];
        const int nth = NthOf(disk, StoredName, position);
        if (FindNth(mine, ItemName, p.name, nth) != 0) {
            continue;
        }
        const StoredProfile* base = FindStored(mine.Stored(), p.name, nth);
        if (base != nullptr) {
            out.conflict = out.conflict || base->line != p.line;
            continue;
        }
        out.items.push_back(onDisk.Item(position));
    }
}

void Rebuild(RDP_ConnectPara& list, const Merged& merged) {
    const int selected = list.SelectIndex();
    const bool inRange = selected >= 1 && selected <= list.Count();
    list.Clear();
    for (const RDP_ConnectParaItems& item : merged.items) {
        list.Add(item.ConnectName(), item.Server(), item.Port(), {}, {}, 0, 0, 0) = item;
    }
    list.setSelectIndex(inRange ? merged.selected : selected);
}

} // namespace

bool MergeStoreChanges(RDP_ConnectPara& mine, const RDP_ConnectPara& onDisk) {
    const std::vector<StoredProfile> disk = StoredProfiles(onDisk);
    if (disk == mine.Stored()) {
        return false;
    }
    Merged merged;
    for (int position = 1; position <= mine.Count(); ++position) {
        TakeOne(mine, onDisk, disk, position, merged);
    }
    TakeTheirs(mine, onDisk, disk, merged);
    Rebuild(mine, merged);
    return merged.conflict;
}

QString ChangedElsewhereMessage() {
    return QStringLiteral(
        "本程序的另一个副本也修改了这些连接，同一连接的修改已以本次保存的内容为准。");
}

} // namespace rdp::store
