#pragma once

#include "profiles/RDP_ConnectPara.h"
#include "profiles/StoreLock.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace RDP_basClient {

// The store "WinEx.DLL" in the program folder.
QString ConnectParaFilePath();
bool ConnectParaFileExists();

// How a load or a save of the store went. The store shows nothing: its caller tells the user
// (TellStoreResult, profiles/StoreTell.h).
struct [[nodiscard]] StoreResult {
    enum class Failure {
        None,       // loaded, or saved
        Cancelled,  // the user gave up waiting for the lock: nothing to tell
        Refused,    // the store was left alone or set aside; `text` is the warning
        WriteError, // a step of the save failed; `text` is the error's description
    };
    Failure failure = Failure::None;
    int error = 0;  // the rdp::ErrorNumber of the failure
    QString text;   // what the user is told of the failure
    QString keptAt; // where a damaged store was set aside; empty when none was
    // Told after the failure, or after a save that went on: a damaged store set aside, a
    // profile that both this list and another copy changed and this save overwrote.
    QStringList notices;
    bool ok() const { return failure == Failure::None; }

    static StoreResult Failed(Failure failure, int error, const QString& text,
                              const QString& keptAt = {}) {
        return StoreResult{failure, error, text, keptAt, {}};
    }
};

// Writes the whole list with its selection; ok when the store now holds it. A failed save
// has left the previous store as it was. Unexpected errors are passed on as rdp::Error.
//
// Copies of the program that share a folder save one after the other under a lock beside
// the store ("WinEx.DLL.lock"); while another copy holds it, `wait` decides between tries
// (without one, the save waits up to 20 seconds); a save given up is Cancelled.
// A save writes only over the file the list was read from or last wrote, over another
// store that reads whole, or where no file is:
// - when the store changed since, the save first takes in what the other copy saved (the
//   list changes in memory): profiles it added or changed are kept, and where both changed
//   one profile this save wins and a notice says so;
// - a damaged store (this list's file, or a file shaped like a store) is set aside as at
//   start-up (`keptAt`, with a notice saying where), and the save goes on;
// - a file that is not a store, a symbolic link now leading to a missing file elsewhere,
//   and a file this user may not read are left alone (Refused).
// The store is written with mode 0600.
StoreResult SaveConnectPara(RDP_ConnectPara& list);
StoreResult SaveConnectPara(RDP_ConnectPara& list, rdp::store::LockWait& wait);

// Fills the list from the store. Ok when the list reflects the store (or there is none);
// Refused for a store that is not a regular file or that this user may not read (left as
// it is), and for a damaged store, which is moved aside (`keptAt`).
StoreResult LoadConnectPara(RDP_ConnectPara& list);

// SaveConnectPara on a store at any path (the store tool's stores): the same content,
// the same atomic replacement, permissions and results.
StoreResult SaveConnectParaTo(RDP_ConnectPara& list, const QString& path);
StoreResult SaveConnectParaTo(RDP_ConnectPara& list, const QString& path,
                              rdp::store::LockWait& wait);

// SaveConnectParaTo for a caller that holds the store's lock (rdp::store::StoreLock on
// `path`) since before it read the store, as `rdp-store add` does: the lock is not taken again.
StoreResult SaveConnectParaLocked(RDP_ConnectPara& list, const QString& path);

// How reading a store went; `line` and `reason` name the first line that is damaged. A file
// that could not be opened or read whole is `unreadable` (`reason` says why, `error` is the
// rdp::ErrorNumber), never damaged: nothing is known of its content.
struct StoreReadResult {
    bool damaged = false;
    int line = 0;
    QString reason;
    bool unreadable = false;
    int error = 0;
    bool ok() const { return !damaged && !unreadable; }
};

// Fills the list (cleared first) from a store's content exactly as LoadConnectPara reads
// it, and collects the decoded lines it read (header first) into `decodedLines` when
// given. Shows nothing and touches no file.
StoreReadResult ParseConnectPara(QByteArrayView content, RDP_ConnectPara& list,
                                 QStringList* decodedLines = nullptr);

// ParseConnectPara on the file at `path`, read once; a file that cannot be read, or that is
// not a regular file (never waited on), is unreadable. A list read whole remembers its
// profiles as stored, and which file it read. Shows nothing; never creates, moves or deletes
// the file.
StoreReadResult ReadConnectParaFile(const QString& path, RDP_ConnectPara& list,
                                    QStringList* decodedLines = nullptr);

// The position of the first profile named `name` ignoring letter case, or 0: the one rule
// for a name already in use (the new-connection dialog, rdp-store, merging).
int FindConnectName(const RDP_ConnectPara& list, const QString& name);

// The message of a store this user may not read (`reason`: why; `error`: its
// rdp::ErrorNumber): it is left as it is.
QString UnreadableStoreMessage(const QString& path, const QString& reason, int error);

} // namespace RDP_basClient
