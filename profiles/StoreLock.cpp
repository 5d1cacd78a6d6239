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

rdp::Error BusyError() {
    return rdp::Error(rdp::ErrorNumber::PathFileAccess,
                      QStringLiteral("连接设置文件正被本程序的另一个副本保存，请稍后再试。"));
}

rdp::Error OpenError(const QString& path, int error) {
    if (error == ELOOP) { // the lock file is a symbolic link
        return rdp::NotRegularFileError(path);
    }
    return error == ENOENT ? rdp::MakeError(rdp::ErrorNumber::PathNotFound)
                           : rdp::ErrorFromErrno(error);
}

void Nap() {
    const timespec pause{0, 5 * 1000 * 1000};
    ::nanosleep(&pause, nullptr);
}

} // namespace

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

StoreLock::StoreLock(const QString& storePath, int patienceMs) {
    const QString path = LockPath(WrittenPath(storePath));
    fd_ = ::open(QFile::encodeName(path).constData(),
                 O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        throw OpenError(path, errno);
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        throw rdp::NotRegularFileError(path);
    }
    for (int waited = 0; ::flock(fd_, LOCK_EX | LOCK_NB) != 0; waited += 5) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= patienceMs) {
            const int error = errno;
            ::close(fd_);
            throw error == EWOULDBLOCK ? BusyError() : rdp::ErrorFromErrno(error);
        }
        Nap();
    }
}

StoreLock::~StoreLock() {
    ::close(fd_); // releases the lock
}

} // namespace rdp::store
