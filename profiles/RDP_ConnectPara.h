#pragma once

// profiles/: the connection profiles: one profile, the program's list of them and the
// store file WinEx.DLL that keeps them (reading, writing, locking, merging, damage).

#include "profiles/RDP_ConnectParaItems.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// A profile as the store held it when the list was last read from or written to it.
struct StoredProfile {
    QString name;
    QString line; // its decoded record line
    bool operator==(const StoredProfile&) const = default;
};

// The ordered list of connection profiles, addressed by 1-based position, with the
// selection. Positions outside 1..Count() throw rdp::Error (subscript out of range)
// and leave the list unchanged.
class RDP_ConnectPara final {
    using Store = std::vector<std::unique_ptr<RDP_ConnectParaItems>>;

public:
    RDP_ConnectPara() = default;
    RDP_ConnectPara(const RDP_ConnectPara&) = delete;
    RDP_ConnectPara& operator=(const RDP_ConnectPara&) = delete;

    RDP_ConnectParaItems& Add(const QString& ConnectName, const QString& Server,
                              const QString& Port, const QString& UserName, const QString& Password,
                              float Width, float Height, std::uint8_t FullScreen);
    RDP_ConnectParaItems& SetDefault(int i);
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    void Clear();
    void Delete(int i);
    RDP_ConnectParaItems& Item(int i) const;

    const QString& Version() const { return Version_; }
    void setVersion(const QString& v) { Version_ = v; }
    std::int32_t SelectIndex() const { return SelectIndex_; }
    void setSelectIndex(std::int32_t v) { SelectIndex_ = v; }
    std::int32_t SelectIndexOld() const { return SelectIndexOld_; }
    void setSelectIndexOld(std::int32_t v) { SelectIndexOld_ = v; }

    // The profiles as the store held them after the last read or save; a save compares the
    // store with them to keep what another copy of the program wrote meanwhile.
    const std::vector<StoredProfile>& Stored() const { return Stored_; }
    void setStored(std::vector<StoredProfile> v) { Stored_ = std::move(v); }
    // The stamp of the store file those profiles were read from or written to (see
    // rdp::FileStamp): while it is the same, the store holds them still.
    const QByteArray& StoredStamp() const { return StoredStamp_; }
    void setStoredStamp(const QByteArray& v) { StoredStamp_ = v; }
    // Where that file was (the store, or the file its symbolic link named); empty while the
    // list was never read from or written to a file.
    const QString& StoredPath() const { return StoredPath_; }
    void setStoredPath(const QString& v) { StoredPath_ = v; }

    // The profiles in position order.
    class const_iterator {
    public:
        explicit const_iterator(Store::const_iterator it) : it_(it) {}
        RDP_ConnectParaItems& operator*() const { return **it_; }
        RDP_ConnectParaItems* operator->() const { return it_->get(); }
        const_iterator& operator++() {
            ++it_;
            return *this;
        }
        bool operator==(const const_iterator&) const = default;

    private:
        Store::const_iterator it_;
    };
    const_iterator begin() const { return const_iterator(items_.begin()); }
    const_iterator end() const { return const_iterator(items_.end()); }

private:
    void CheckIndex(int i) const;

    QString Version_;
    std::int32_t SelectIndex_ = 0;
    std::int32_t SelectIndexOld_ = 0;
    Store items_;
    std::vector<StoredProfile> Stored_;
    QByteArray StoredStamp_;
    QString StoredPath_;
};

// The program's one connection list, created empty on first use.
RDP_ConnectPara& gConnectPara();
// Replaces it by a new empty list (tests, and nothing else).
void ResetConnectPara();
