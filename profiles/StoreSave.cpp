#include "profiles/ConnectParaStore.h"

#include "profiles/StoreLines.h"
#include "profiles/StoreLock.h"
#include "profiles/StoreMerge.h"

#include "common/FileErrors.h"
#include "common/FileLines.h"
#include "common/LogCategories.h"
#include "common/Platform.h"
#include "common/RegularFile.h"
#include "common/ShowMsg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RDP_basClient {

namespace {

// Temporaries of a save that was killed before its rename: "WinEx.DLL.XXXXXX". Under the
// lock no other save is under way, so every such file of this user is stale.
void RemoveStaleTemporaries(const QString& path) {
    const QFileInfo store(path);
    const QRegularExpression own(QStringLiteral("^") +
                                 QRegularExpression::escape(store.fileName()) +
                                 QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    const QDir folder = store.absoluteDir();
    for (const QString& name : folder.entryList({store.fileName() + QStringLiteral(".*")},
                                                QDir::Files | QDir::Hidden | QDir::System)) {
        struct stat st {};
        const QByteArray full = QFile::encodeName(folder.filePath(name));
        if (own.match(name).hasMatch() && ::lstat(full.constData(), &st) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
            ::unlink(full.constData());
        }
    }
}

// Fills the new store's file: mode 0600, the content, on the disk.
void WriteTemporary(int fd, const QByteArray& content) {
    if (::fchmod(fd, 0600) != 0) {
        throw rdp::ErrorFromErrno(errno);
    }
    rdp::WriteAll(fd, content);
    if (::fsync(fd) != 0) {
        throw rdp::ErrorFromErrno(errno);
    }
}

// Writes the content into a new file beside the store and renames it over the store in one
// step. Returns the new store's stamp.
QByteArray ReplaceStore(const QString& path, const QByteArray& content) {
    if (rdp::KindOf(path) == rdp::FileKind::Special) {
        throw rdp::NotRegularFileError(path);
    }
    if (rdp::IsReadOnlyFile(path)) {
        throw rdp::MakeError(rdp::ErrorNumber::PermissionDenied);
    }
    RemoveStaleTemporaries(path);
    QByteArray temporary = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        throw rdp::OpenForWriteError(path);
    }
    try {
        WriteTemporary(fd, content);
    } catch (...) {
        ::close(fd);
        ::unlink(temporary.constData());
        throw;
    }
    const QByteArray stamp = rdp::FileStamp(fd); // a rename changes neither
    if (::close(fd) != 0 || ::rename(temporary.constData(), QFile::encodeName(path)) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        throw rdp::ErrorFromErrno(error);
    }
    return stamp;
}

// Re-reads the store under the lock and merges what another copy saved since this list
// was read or saved. True when both changed one profile.
bool MergeWithStore(RDP_ConnectPara& list, const QString& path) {
    if (rdp::KindOf(path) != rdp::FileKind::Regular || rdp::FileStamp(path) == list.StoredStamp()) {
        return false; // no store to take from, or the one this list was read from or wrote
    }
    RDP_ConnectPara onDisk;
    if (ReadConnectParaFile(path, onDisk).damaged) {
        return false; // nothing in it can be kept; the save replaces it
    }
    return rdp::store::MergeStoreChanges(list, onDisk);
}

bool Save(RDP_ConnectPara& list, const QString& storePath, bool takeLock) {
    const QString path = rdp::store::StoreLock::WrittenPath(storePath);
    bool overrode = false;
    try {
        std::optional<rdp::store::StoreLock> lock;
        if (takeLock) {
            lock.emplace(path);
        }
        overrode = MergeWithStore(list, path);
        std::vector<StoredProfile> records = rdp::store::StoredProfiles(list);
        list.setStoredStamp(ReplaceStore(path, rdp::store::StoreContent(list, records)));
        list.setStored(std::move(records));
    } catch (const rdp::Error& error) {
        qCInfo(rdp::lcStore) << "not saved:" << path << error.number() << error.description();
        RDP_basFile::ShowWriteFailure(error); // once, whatever line or step failed
        return false;
    } catch (const std::bad_alloc&) {
        throw rdp::MakeError(rdp::ErrorNumber::OutOfMemory);
    }
    qCInfo(rdp::lcStore) << "saved" << path << list.Count() << "profiles;"
                         << (overrode ? "a profile changed elsewhere was overwritten" : "");
    if (overrode) {
        RDP_basPublic::ShowMsg(rdp::store::ChangedElsewhereMessage(), rdp::MsgStyle::Exclamation,
                               rdp::ConnectTitle(), QString(), 0, true);
    }
    return true;
}

} // namespace

bool SaveConnectParaTo(RDP_ConnectPara& list, const QString& path) {
    return Save(list, path, true);
}

bool SaveConnectParaLocked(RDP_ConnectPara& list, const QString& path) {
    return Save(list, path, false);
}

bool SaveConnectPara(RDP_ConnectPara& list) {
    return SaveConnectParaTo(list, ConnectParaFilePath());
}

} // namespace RDP_basClient
