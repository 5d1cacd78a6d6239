#include "profiles/StoreLock.h"

#include "common/Errors.h"
#include "common/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace rdp::store {

namespace {

rdp::Error OpenError(const QString& path, int error) {
    if (error == ELOOP || error == EISDIR) { // a symbolic link or a folder
        return rdp::NotRegularFileError(path);
    }
    if (error == EACCES && QFileInfo::exists(path)) { // there, but not for this user
        throw UnreadableLockError(path);
    }
    return error == ENOENT ? rdp::MakeError(rdp::ErrorNumber::PathNotFound)
                           : rdp::ErrorFromErrno(error);
}

} // namespace

UnreadableLockError::UnreadableLockError(const QString& path)
    : rdp::Error(
          rdp::ErrorNumber::PermissionDenied,
          QStringLiteral("没有保存：没有权限读取锁文件：\r\n") + path +
              QStringLiteral("\r\n它可能属于另一个用户，只有所有者能读。请文件的所有者或管理员"
                             "让所有用户都能读它（chmod a+r），然后再保存。")) {}

WaitChoice PatientWait::Pause(std::chrono::milliseconds waited) {
    if (waited >= patience_) {
        return WaitChoice::GiveUp;
    }
    const timespec pause{0, 5 * 1000 * 1000};
    ::nanosleep(&pause, nullptr);
    return WaitChoice::TryAgain;
}

QString StoreLock::LockPath(const QString& storePath) {
    return storePath + QStringLiteral(".lock");
}

QString StoreLock::WrittenPath(const QString& storePath) {
    QFileInfo file(storePath);
    for (int depth = 0; depth < 40 && file.isSymLink(); ++depth) {
        file.setFile(file.symLinkTarget());
    }
    return file.isSymLink() ? storePath : file.filePath();
}

QString StoreLock::BusyText() {
    return QStringLiteral("连接设置文件正被本程序的另一个副本保存，请稍后再试。");
}

StoreLock::StoreLock(const QString& storePath) {
    const QString path = LockPath(WrittenPath(storePath));
    fd_ = ::open(QFile::encodeName(path).constData(),
                 O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        throw OpenError(path, errno);
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        throw rdp::NotRegularFileError(path);
    }
}

StoreLock::Outcome StoreLock::Acquire(LockWait& wait) {
    const auto start = std::chrono::steady_clock::now();
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            throw rdp::ErrorFromErrno(errno);
        }
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        switch (wait.Pause(waited)) {
        case WaitChoice::TryAgain:
            break;
        case WaitChoice::GiveUp:
            return Outcome::Busy;
        case WaitChoice::Cancel:
            return Outcome::Cancelled;
        }
    }
    return Outcome::Locked;
}

StoreLock::~StoreLock() {
    ::close(fd_); // releases the lock
}

} // namespace rdp::store
