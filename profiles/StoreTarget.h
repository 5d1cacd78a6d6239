#pragma once

#include "profiles/RDP_ConnectPara.h"

#include <QByteArrayView>
#include <QString>

namespace rdp::store {

// What a save finds where it is to write, with the lock held.
enum class Found {
    Nothing,      // no file: the save creates it
    Unchanged,    // the file the list was read from or last wrote, as it was then
    Store,        // a store that reads whole: another copy's save, or the same file changed
    DamagedStore, // a file shaped like a store that does not read whole
    NotAStore,    // another file that is not shaped like a store: never written over
    Elsewhere,    // a symbolic link that now leads to a missing file other than the one read
    Unreadable,   // a file this user may not read: never moved or written
};

struct Inspection {
    explicit Inspection(Found f, QString why = {}, int number = 0)
        : found(f), reason(std::move(why)), error(number) {}
    Found found;
    QString reason; // why Unreadable
    int error;      // its rdp::ErrorNumber
};

// Looks at `path`, the file a save of `list` to `storePath` writes (the store, or the file
// its symbolic link names). A Store is read into `onDisk`. Throws rdp::Error for a path that
// is not a regular file.
Inspection InspectStore(const RDP_ConnectPara& list, const QString& storePath, const QString& path,
                        RDP_ConnectPara& onDisk);

// Whether a file's first line has the shape of a store's: a line of a dozen digits or more
// (spaces around it allowed). A damaged store keeps it; a text or a program does not. (The
// file's inode says nothing here: a file written anew may get the inode of the one it
// replaced.)
bool LooksLikeStore(QByteArrayView firstLine);

// The message of a save that left alone what is now at the store's place (`storePath`,
// leading to `path`): not the store that was read, and not a store.
QString NotAStoreMessage(const QString& storePath, const QString& path);

// The message after a save that found the store damaged and set it aside as `keptAt`, and
// then wrote the new store (`saved`) or failed to.
QString DamagedAtSaveMessage(const QString& keptAt, bool saved);
// The message of a save that found the store at `path` damaged and could not set it aside.
QString DamagedStaysMessage(const QString& path);

} // namespace rdp::store
