#pragma once

#include "profiles/RDP_ConnectPara.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace RDP_basClient {

// The store "WinEx.DLL" in the program folder.
QString ConnectParaFilePath();
bool ConnectParaFileExists();

// Writes the whole list with its selection; true when the store now holds it. A failed
// save has shown its message and left the previous store as it was. Unexpected errors
// are passed on as rdp::Error.
//
// Copies of the program that share a folder save one after the other under a lock beside
// the store ("WinEx.DLL.lock"). When the store changed since the list was read or last
// saved, the save first takes in what the other copy saved (the list changes in memory):
// profiles it added or changed are kept, and where both changed one profile this save
// wins and the user is told once. The store is written with mode 0600.
bool SaveConnectPara(RDP_ConnectPara& list);

// Fills the list from the store. True when the list reflects the store (or there is none);
// false after a damaged store was reported and moved aside.
bool LoadConnectPara(RDP_ConnectPara& list);

// SaveConnectPara on a store at any path (the store tool's stores): the same content,
// the same atomic replacement, permissions and messages.
bool SaveConnectParaTo(RDP_ConnectPara& list, const QString& path);

// SaveConnectParaTo for a caller that holds the store's lock (rdp::store::StoreLock on
// `path`) since before it read the store, as `rdp-store add` does: the lock is not taken again.
bool SaveConnectParaLocked(RDP_ConnectPara& list, const QString& path);

// How reading a store went; `line` and `reason` name the first line that is damaged.
struct StoreReadResult {
    bool damaged = false;
    int line = 0;
    QString reason;
};

// Fills the list (cleared first) from a store's content exactly as LoadConnectPara reads
// it, and collects the decoded lines it read (header first) into `decodedLines` when
// given. Shows nothing and touches no file.
StoreReadResult ParseConnectPara(QByteArrayView content, RDP_ConnectPara& list,
                                 QStringList* decodedLines = nullptr);

// ParseConnectPara on the file at `path`, read once; a file that cannot be read, or that is
// not a regular file (never waited on), counts as damaged at line 1. A list read whole
// remembers its profiles as stored. Shows nothing; never creates, moves or deletes the file.
StoreReadResult ReadConnectParaFile(const QString& path, RDP_ConnectPara& list,
                                    QStringList* decodedLines = nullptr);

// The position of the first profile named `name` ignoring letter case, or 0: the one rule
// for a name already in use (the new-connection dialog, rdp-store, merging).
int FindConnectName(const RDP_ConnectPara& list, const QString& name);

} // namespace RDP_basClient
