#pragma once

#include "common/Errors.h"

#include <QString>

#include <chrono>

namespace rdp::store {

// A lock file that this user may not read (of another user, mode 0600): its own message,
// naming the file.
class UnreadableLockError final : public rdp::Error {
public:
    explicit UnreadableLockError(const QString& path);
};

// What a writer does after a try at the lock found it held by another copy.
enum class WaitChoice { TryAgain, GiveUp, Cancel };

// How a writer waits while another copy holds the lock. Pause() is called between tries
// with the time waited so far; it comes back after a short pause (a few milliseconds).
class LockWait {
public:
    virtual ~LockWait() = default;
    virtual WaitChoice Pause(std::chrono::milliseconds waited) = 0;
};

// Sleeps 5 ms between tries and gives up after `patience`: for a writer without a window.
class PatientWait : public LockWait {
public:
    explicit PatientWait(std::chrono::milliseconds patience = std::chrono::seconds(20))
        : patience_(patience) {}
    WaitChoice Pause(std::chrono::milliseconds waited) override;

private:
    std::chrono::milliseconds patience_;
};

// The exclusive advisory lock (flock) that every writer of a store holds from re-reading the
// store to renaming the new one over it. It lives on "<store>.lock" beside the store, an empty
// file that is created once (mode 0644, so that users sharing the folder can all lock it) and
// never removed. It is opened read-only: flock needs no more, so a read-only lock file or one
// of another user works.
class StoreLock final {
public:
    // Opens the lock of the store at `storePath` (beside the file its symbolic link names, if
    // it is one). Throws rdp::Error: a lock that is not a regular file, or that this user may
    // not read (its own message naming the file), or a folder where it cannot be made.
    explicit StoreLock(const QString& storePath);
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    enum class Outcome { Locked, Busy, Cancelled };
    // Takes the lock, asking `wait` between tries while another copy holds it.
    Outcome Acquire(LockWait& wait);

    static QString LockPath(const QString& storePath);

    // The file a save of the store at `storePath` writes: the store itself, or the file its
    // symbolic link names (the link stays).
    static QString WrittenPath(const QString& storePath);

    // The error of a lock another copy kept too long.
    static QString BusyText();

private:
    int fd_ = -1;
};

} // namespace rdp::store
