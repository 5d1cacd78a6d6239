#pragma once

#include "profiles/StoreLock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace rdp::test {

// Another copy's hold on the lock of the store at `storePath`, until released.
class HeldLock final {
public:
    explicit HeldLock(const QString& storePath)
        : fd_(::open(QFile::encodeName(rdp::store::StoreLock::LockPath(storePath)).constData(),
                     O_RDONLY | O_CREAT | O_CLOEXEC, 0644)) {
        ::flock(fd_, LOCK_EX);
    }
    ~HeldLock() { Release(); }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

    void Release() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
    }

private:
    int fd_;
};

} // namespace rdp::test
