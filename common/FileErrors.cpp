#include "common/FileErrors.h"

#include <QFileInfo>

namespace rdp {

bool IsReadOnlyFile(const QString& path) {
    // The mode bits, not the user's access: root may write anything, yet a file without
    // any write bit is read-only for this program as for everyone.
    const QFileInfo info(path);
    if (!info.exists()) {
        return false;
    }
    constexpr auto anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return (info.permissions() & anyWrite) == 0 || !info.isWritable();
}

Error OpenForWriteError(const QString& path) {
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) {
        return MakeError(ErrorNumber::PathNotFound);
    }
    if (info.isDir()) {
        return MakeError(ErrorNumber::PathFileAccess);
    }
    if (IsReadOnlyFile(path) || !folder.isWritable()) {
        return MakeError(ErrorNumber::PermissionDenied);
    }
    return MakeError(ErrorNumber::PathFileAccess);
}

Error WriteError(const QFileDevice& file) {
    if (file.error() == QFileDevice::ResourceError) {
        return MakeError(ErrorNumber::DiskFull);
    }
    return MakeError(ErrorNumber::DeviceIO);
}

} // namespace rdp
