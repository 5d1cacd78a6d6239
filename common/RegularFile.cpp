#include "common/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rdp {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Opens without ever blocking (a FIFO without a writer, a tty) and keeps the descriptor only
// for a regular file; it is then switched back to blocking I/O.
int OpenRegular(const QString& path, int flags, unsigned mode) {
    const QByteArray name = QFile::encodeName(path);
    Descriptor fd(::open(name.constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode));
    if (fd.get() < 0) {
        if (errno == ENXIO || errno == EISDIR) { // a FIFO without reader, a folder
            throw NotRegularFileError(path);
        }
        if (errno == ENOENT && (flags & O_CREAT) != 0) { // the folder is missing
            throw MakeError(ErrorNumber::PathNotFound);
        }
        throw ErrorFromErrno(errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        throw ErrorFromErrno(errno);
    }
    if (!S_ISREG(st.st_mode)) {
        throw NotRegularFileError(path);
    }
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fd.release();
}

QByteArray StampOf(const struct stat& st) {
    return QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino)) +
           ':' + QByteArray::number(qint64(st.st_size)) + ':' +
           QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qint64(st.st_mtim.tv_nsec));
}

} // namespace

QByteArray FileStamp(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? StampOf(st) : QByteArray();
}

QByteArray FileStamp(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? StampOf(st) : QByteArray();
}

FileKind KindOf(const QString& path) {
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return FileKind::Missing;
    }
    return S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Special;
}

Error NotRegularFileError(const QString& path) {
    return Error(ErrorNumber::PathFileAccess,
                 QStringLiteral("不是普通文件，程序不使用它：") + path);
}

Error ErrorFromErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return MakeError(ErrorNumber::DiskFull);
    case ENOENT:
        return MakeError(ErrorNumber::FileNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
        return MakeError(ErrorNumber::PermissionDenied);
    case ENOTDIR:
        return MakeError(ErrorNumber::PathNotFound);
    case ENOMEM:
        return MakeError(ErrorNumber::OutOfMemory);
    default:
        return MakeError(ErrorNumber::DeviceIO);
    }
}

QByteArray ReadRegularFile(const QString& path) {
    Descriptor fd(OpenRegular(path, O_RDONLY, 0));
    QByteArray content;
    char block[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd.get(), block, sizeof block);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw ErrorFromErrno(errno);
        }
        if (got == 0) {
            return content;
        }
        content.append(block, got);
    }
}

int OpenRegularForRead(const QString& path) {
    return OpenRegular(path, O_RDONLY, 0);
}

int OpenRegularForAppend(const QString& path, unsigned mode) {
    return OpenRegular(path, O_WRONLY | O_APPEND | O_CREAT, mode);
}

void WriteAll(int fd, QByteArrayView data) {
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, static_cast<size_t>(data.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            throw ErrorFromErrno(n < 0 ? errno : ENOSPC);
        }
        done += n;
    }
}

} // namespace rdp
