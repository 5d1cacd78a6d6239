#include "profiles/StoreMerge.h"

#include "profiles/ConnectParaStore.h"
#include "profiles/StoreLines.h"

namespace rdp::store {

namespace {

const StoredProfile* Find(const std::vector<StoredProfile>& profiles, const QString& name) {
    for (const StoredProfile& p : profiles) {
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) {
            return &p;
        }
    }
    return nullptr;
}

struct Merged {
    std::vector<RDP_ConnectParaItems> items;
    bool conflict = false;
};

// This copy's profiles, each in the version that wins.
void TakeMine(const RDP_ConnectPara& mine, const RDP_ConnectPara& onDisk,
              const std::vector<StoredProfile>& disk, Merged& out) {
    int position = 0;
    for (const RDP_ConnectParaItems& p : mine) {
        const bool selected = ++position == mine.SelectIndex();
        const StoredProfile* base = Find(mine.Stored(), p.ConnectName());
        const int there = RDP_basClient::FindConnectName(onDisk, p.ConnectName());
        const QString line = RecordLine(p);
        const bool changedHere = base == nullptr || base->line != line;
        if (there == 0) {
            if (base != nullptr && !changedHere && !selected) {
                continue; // deleted elsewhere; the one in use here stays
            }
            out.conflict = out.conflict || base != nullptr;
            out.items.push_back(p);
            continue;
        }
        const QString& theirs = disk[static_cast<std::size_t>(there - 1)].line;
        if (!changedHere) {
            out.items.push_back(onDisk.Item(there));
            continue;
        }
        const bool changedThere = base == nullptr || base->line != theirs;
        out.conflict = out.conflict || (changedThere && theirs != line);
        out.items.push_back(p);
    }
}

// The profiles that only the store holds: new ones are kept, ones deleted here stay gone.
void TakeTheirs(const RDP_ConnectPara& mine, const RDP_ConnectPara& onDisk,
                const std::vector<StoredProfile>& disk, Merged& out) {
    for (const StoredProfile& p : disk) {
        if (RDP_basClient::FindConnectName(mine, p.name) != 0) {
            continue;
        }
        const StoredProfile* base = Find(mine.Stored(), p.name);
        if (base != nullptr) {
            out.conflict = out.conflict || base->line != p.line;
            continue;
        }
        out.items.push_back(onDisk.Item(RDP_basClient::FindConnectName(onDisk, p.name)));
    }
}

void Rebuild(RDP_ConnectPara& list, const std::vector<RDP_ConnectParaItems>& items) {
    const int selected = list.SelectIndex();
    const bool inRange = selected >= 1 && selected <= list.Count();
    const QString name = inRange ? list.Item(selected).ConnectName() : QString();
    list.Clear();
    for (const RDP_ConnectParaItems& item : items) {
        list.Add(item.ConnectName(), item.Server(), item.Port(), {}, {}, 0, 0, 0) = item;
    }
    list.setSelectIndex(inRange ? RDP_basClient::FindConnectName(list, name) : selected);
}

} // namespace

bool MergeStoreChanges(RDP_ConnectPara& mine, const RDP_ConnectPara& onDisk) {
    const std::vector<StoredProfile> disk = StoredProfiles(onDisk);
    if (disk == mine.Stored()) {
        return false;
    }
    Merged merged;
    TakeMine(mine, onDisk, disk, merged);
    TakeTheirs(mine, onDisk, disk, merged);
    Rebuild(mine, merged.items);
    return merged.conflict;
}

QString ChangedElsewhereMessage() {
    return QStringLiteral(
        "本程序的另一个副本也修改了这些连接，同一连接的修改已以本次保存的内容为准。");
}

} // namespace rdp::store
