#include "profiles/ConnectParaStore.h"

#include "profiles/DamagedStore.h"
#include "profiles/StoreLines.h"
#include "profiles/StoreLock.h"
#include "profiles/StoreMerge.h"
#include "profiles/StoreTarget.h"

#include "common/FileErrors.h"
#include "common/LogCategories.h"
#include "common/PathHelpers.h"
#include "common/RegularFile.h"

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

// A save that leaves the store's place alone, with the error number and the message that
// says why.
struct Refused {
    int error;
    QString message;
};

// What a save found under the lock, for its result.
struct Notes {
    QString damagedKeptAt; // where a damaged store found under the lock was set aside
    bool overrode = false;
};

// Takes the lock through `wait`; false when the user gave up waiting. Throws rdp::Error.
bool Lock(std::optional<rdp::store::StoreLock>& lock, const QString& path,
          rdp::store::LockWait& wait) {
    lock.emplace(path);
    switch (lock->Acquire(wait)) {
    case rdp::store::StoreLock::Outcome::Locked:
        return true;
    case rdp::store::StoreLock::Outcome::Busy:
        throw rdp::Error(rdp::ErrorNumber::PathFileAccess, rdp::store::StoreLock::BusyText());
    case rdp::store::StoreLock::Outcome::Cancelled:
        break;
    }
    return false;
}

// Decides, under the lock, what becomes of what is at the store's place: merged, set aside,
// or left alone (Refused).
void Prepare(RDP_ConnectPara& list, const QString& storePath, const QString& path, Notes& notes) {
    using rdp::store::Found;
    RDP_ConnectPara onDisk;
    const rdp::store::Inspection seen = rdp::store::InspectStore(list, storePath, path, onDisk);
    switch (seen.found) {
    case Found::Nothing:
    case Found::Unchanged:
        return;
    case Found::Store:
        notes.overrode = rdp::store::MergeStoreChanges(list, onDisk);
        return;
    case Found::DamagedStore: {
        const QString keptAt = rdp::store::SetAsideDamagedStore(path, RDP_basFile::GetSystemPath(),
                                                                QDateTime::currentDateTime());
        qCInfo(rdp::lcStore) << "damaged at save:" << path << "set aside as" << keptAt;
        if (keptAt.isEmpty()) {
            throw Refused{rdp::ErrorNumber::InvalidFileFormat,
                          rdp::store::DamagedStaysMessage(path)};
        }
        notes.damagedKeptAt = keptAt;
        return;
    }
    case Found::Unreadable:
        throw Refused{seen.error, UnreadableStoreMessage(path, seen.reason, seen.error)};
    case Found::NotAStore:
    case Found::Elsewhere:
        break;
    }
    throw Refused{rdp::ErrorNumber::PathFileAccess, rdp::store::NotAStoreMessage(storePath, path)};
}

// The save with the lock held (taken through `wait` unless null).
bool SaveLocked(RDP_ConnectPara& list, const QString& storePath, const QString& path,
                rdp::store::LockWait* wait, Notes& notes) {
    std::optional<rdp::store::StoreLock> lock;
    if (wait != nullptr && !Lock(lock, path, *wait)) {
        qCInfo(rdp::lcStore) << "not saved:" << path << "waiting for the lock was cancelled";
        return false;
    }
    Prepare(list, storePath, path, notes);
    std::vector<StoredProfile> records = rdp::store::StoredProfiles(list);
    list.setStoredStamp(ReplaceStore(path, rdp::store::StoreContent(list, records)));
    list.setStoredPath(path);
    list.setStored(std::move(records));
    return true;
}

// The save itself; a failure comes back as its result.
StoreResult TrySave(RDP_ConnectPara& list, const QString& storePath, const QString& path,
                    rdp::store::LockWait* wait, Notes& notes) {
    using Failure = StoreResult::Failure;
    try {
        return SaveLocked(list, storePath, path, wait, notes)
                   ? StoreResult{}
                   : StoreResult::Failed(Failure::Cancelled, 0, {});
    } catch (const Refused& refused) {
        qCInfo(rdp::lcStore) << "not saved:" << path << "left alone";
        return StoreResult::Failed(Failure::Refused, refused.error, refused.message);
    } catch (const rdp::store::UnreadableLockError& error) {
        return StoreResult::Failed(Failure::Refused, error.number(),
                                   error.description() + QStringLiteral("窗口中的修改仍然保留。"));
    } catch (const rdp::Error& error) {
        qCInfo(rdp::lcStore) << "not saved:" << path << error.number() << error.description();
        return StoreResult::Failed(Failure::WriteError, error.number(), error.description());
    } catch (const std::bad_alloc&) {
        throw rdp::MakeError(rdp::ErrorNumber::OutOfMemory);
    }
}

// The save and what it found, as its result. Tells the user nothing: by the time the caller
// does, the lock is released, so that no other copy waits on a message box.
StoreResult Save(RDP_ConnectPara& list, const QString& storePath, rdp::store::LockWait* wait) {
    const QString path = rdp::store::StoreLock::WrittenPath(storePath);
    Notes notes;
    StoreResult result = TrySave(list, storePath, path, wait, notes);
    if (result.ok()) {
        qCInfo(rdp::lcStore) << "saved" << path << list.Count() << "profiles;"
                             << (notes.overrode ? "a profile changed elsewhere was overwritten"
                                                : "");
    }
    result.keptAt = notes.damagedKeptAt;
    if (!result.keptAt.isEmpty()) {
        result.notices.append(rdp::store::DamagedAtSaveMessage(result.keptAt, result.ok()));
    }
    if (result.ok() && notes.overrode) {
        result.notices.append(rdp::store::ChangedElsewhereMessage());
    }
    return result;
}

} // namespace

StoreResult SaveConnectParaTo(RDP_ConnectPara& list, const QString& path,
                              rdp::store::LockWait& wait) {
    return Save(list, path, &wait);
}

StoreResult SaveConnectParaTo(RDP_ConnectPara& list, const QString& path) {
    rdp::store::PatientWait wait;
    return Save(list, path, &wait);
}

StoreResult SaveConnectParaLocked(RDP_ConnectPara& list, const QString& path) {
    return Save(list, path, nullptr);
}

StoreResult SaveConnectPara(RDP_ConnectPara& list, rdp::store::LockWait& wait) {
    return SaveConnectParaTo(list, ConnectParaFilePath(), wait);
}

StoreResult SaveConnectPara(RDP_ConnectPara& list) {
    return SaveConnectParaTo(list, ConnectParaFilePath());
}

} // namespace RDP_basClient
