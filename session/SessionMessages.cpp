#include "session/SessionMessages.h"

#include "session/RdpClientControl.h"

namespace rdp {

namespace {

QString TwoParts(const char* what, const char* advice) {
    return QString::fromUtf8(what) + QStringLiteral("\r\n\r\n") + QString::fromUtf8(advice);
}

// The server asked for a desktop this side does not allocate.
QString DesktopRefusedText(QSize desktop) {
    const int most = RdpClientControl::MaxDesktopSide;
    const QString size = QStringLiteral("%1×%2").arg(desktop.width()).arg(desktop.height());
    const QString what =
        desktop.width() > most || desktop.height() > most
            ? QStringLiteral(
                  "远程计算机要求的桌面大小 %1 超出了允许的范围（最大 %2×%2），会话已结束。")
                  .arg(size)
                  .arg(most)
            : QStringLiteral("此计算机的内存不足以显示远程计算机要求的桌面大小 %1，会话已结束。")
                  .arg(size);
    return what + QStringLiteral("\r\n\r\n") + QStringLiteral("请联系远程计算机的管理员获得帮助。");
}

} // namespace

QString LoggingOnText() {
    return QStringLiteral("正在登录，请稍候。。。");
}
QString LoggingOffText() {
    return QStringLiteral("正在退出，请稍候。。。");
}
QString ConnectingText() {
    return QStringLiteral("正在连接......");
}
QString AlreadyLoggedOnText() {
    return QStringLiteral("已经登陆");
}

QString ReconnectingText(int attempt, int of) {
    return QStringLiteral("连接已中断，正在重新连接（第 %1 次，共 %2 次）。。。")
        .arg(attempt)
        .arg(of);
}

std::optional<QString> DisconnectMessage(int reason, QSize desktop) {
    switch (reason) {
    case 262: // the server asked for a desktop this side refused to allocate
        return DesktopRefusedText(desktop);
    case 260: // the name of the remote computer could not be resolved
        return TwoParts("找不到远程计算机。",
                        "请检查计算机名称或地址是否正确，然后重新连接。"
                        "如果问题仍然存在，请联系网络管理员或系统服务商获得帮助。");
    case 264: // the remote computer did not answer in time
        return TwoParts("远程计算机没有及时响应。",
                        "请稍后重新连接。如果问题仍然存在，请联系网络管理员或系统服务商获得帮助。");
    case 516: // the network connection to the server failed
        return TwoParts("此计算机无法连接到系统。",
                        "请尝试重新连接。如果问题仍然存在，请联系网络管理员或系统服务商获得帮助。");
    case 2055: // the logon was refused
        return TwoParts("用户名或密码不正确，无法登录到系统。",
                        "请检查用户名和密码，然后重新连接。"
                        "如果问题仍然存在，请联系系统管理员获得帮助。");
    case 2308: // the link to the remote computer was lost
        return TwoParts(
            "与远程计算机的连接已中断。",
            "请检查网络后重新连接。如果问题仍然存在，请联系网络管理员或系统服务商获得帮助。");
    default:
        return std::nullopt;
    }
}

} // namespace rdp
