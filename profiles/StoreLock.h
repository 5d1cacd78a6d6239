#pragma once

#include <QString>

namespace rdp::store {

// The exclusive advisory lock (flock) that every writer of a store holds from re-reading the
// store to renaming the new one over it. It lives on "<store>.lock" beside the store, a file
// that is created once and never removed. Waits for another copy's save (which takes
// milliseconds) and gives up after `patienceMs`, throwing rdp::Error.
class StoreLock final {
public:
    // Locks the store at `storePath` (beside the file its symbolic link names, if it is one).
    explicit StoreLock(const QString& storePath, int patienceMs = 20000);
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    static QString LockPath(const QString& storePath);

    // The file a save of the store at `storePath` writes: the store itself, or the file its
    // symbolic link names (the link stays).
    static QString WrittenPath(const QString& storePath);

private:
    int fd_ = -1;
};

} // namespace rdp::store
