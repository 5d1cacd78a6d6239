#pragma once

#include "common/Errors.h"

#include <QByteArray>
#include <QString>

namespace rdp {

// What a path names, following symbolic links.
enum class FileKind { Missing, Regular, Special };
FileKind KindOf(const QString& path);

// The error of a path that names a FIFO, socket, device or folder where a file is expected.
Error NotRegularFileError(const QString& path);

// The whole content of a regular file. A FIFO or device is never waited on: it is refused
// with NotRegularFileError. A missing file throws FileNotFound; a failed read DeviceIO.
QByteArray ReadRegularFile(const QString& path);

// A descriptor open for reading `path`, refused (never waited on) when it names anything
// but a regular file. Throws rdp::Error; the caller closes it.
int OpenRegularForRead(const QString& path);

// A descriptor open for appending to `path` (created with `mode` when missing), refused
// when it names anything but a regular file. Throws rdp::Error; the caller closes it.
int OpenRegularForAppend(const QString& path, unsigned mode);

// Writes all of `data` to `fd`; throws DiskFull for a full disk or quota, else DeviceIO.
void WriteAll(int fd, QByteArrayView data);

// Which file a descriptor or path holds and in which state: device, inode, size and time of
// the last write (a rename keeps them all). Equal stamps mean the file was not replaced or written
// in between; empty for a missing file.
QByteArray FileStamp(int fd);
QByteArray FileStamp(const QString& path);

// The error of a failed system call, from its errno.
Error ErrorFromErrno(int error);

} // namespace rdp
