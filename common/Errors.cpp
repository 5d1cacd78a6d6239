#include "common/Errors.h"

namespace rdp {

QString ErrorDescription(int number) {
    switch (number) {
    case ErrorNumber::InvalidArgument:
        return QStringLiteral("无效的过程调用或参数");
    case ErrorNumber::Overflow:
        return QStringLiteral("溢出");
    case ErrorNumber::OutOfMemory:
        return QStringLiteral("内存不足");
    case ErrorNumber::SubscriptOutOfRange:
        return QStringLiteral("下标越界");
    case ErrorNumber::TypeMismatch:
        return QStringLiteral("类型不匹配");
    case ErrorNumber::FileNotFound:
        return QStringLiteral("文件未找到");
    case ErrorNumber::DeviceIO:
        return QStringLiteral("设备 I/O 错误");
    case ErrorNumber::DiskFull:
        return QStringLiteral("磁盘已满");
    case ErrorNumber::PermissionDenied:
        return QStringLiteral("没有权限");
    case ErrorNumber::PathFileAccess:
        return QStringLiteral("路径/文件访问错误");
    case ErrorNumber::PathNotFound:
        return QStringLiteral("路径未找到");
    case ErrorNumber::InvalidFileFormat:
        return QStringLiteral("无效的文件格式");
    default:
        return QStringLiteral("应用程序定义的错误或对象定义的错误");
    }
}

} // namespace rdp
