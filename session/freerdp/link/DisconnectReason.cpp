#include "session/freerdp/link/DisconnectReason.h"

#include "session/SessionMessages.h"

#include <freerdp/error.h>
#include <freerdp/freerdp.h>

#include <cstdio>

namespace rdp::freerdp {
namespace {

// Error info codes of the protocol that FreeRDP 2.11 does not name.
constexpr std::uint32_t kErrInfoServerShutdown = 0x19;
constexpr std::uint32_t kErrInfoServerReboot = 0x1A;

// Where a row's code comes from.
enum class Key {
    LastError, // freerdp_get_last_error
    ErrorInfo, // the server's error info
    Local,     // a step of this side (LocalCode)
};

enum LocalCode : std::uint32_t { ContextFailed = 1, SettingsFailed, DecoderFailed, ChannelFailed };

// What fills the %1 of a row's text.
enum class Detail { None, ErrorName, Code, Depth, Channel };

struct Row {
    Key key;
    std::uint32_t first;
    std::uint32_t last;
    int reason;
    const char* what;   // UTF-8; nullptr: the reason's own message (or none)
    const char* advice; // the second paragraph
    Detail detail;
};

constexpr const char* kAskAdmin = "请联系系统管理员获得帮助。";
constexpr const char* kChangePassword = "请先更改密码（或请系统管理员重设密码），然后重新连接。";
constexpr const char* kReconnectLater =
    "请稍后重新连接。如果问题仍然存在，请联系系统管理员获得帮助。";
constexpr const char* kReinstall = "请重新安装程序。如果问题仍然存在，请联系系统服务商获得帮助。";

// The one table: the library's errors first, then the server's error info (the last row
// catches every code without a row of its own), then the failures of this side. Rows
// without a text use the reason's message of the session window. Every end named here is
// final: only a link that broke without any of them is tried again.
constexpr Row kRows[] = {
    // The account's state, as the server named it during the logon.
    {Key::LastError, FREERDP_ERROR_CONNECT_PASSWORD_EXPIRED, FREERDP_ERROR_CONNECT_PASSWORD_EXPIRED,
     Reason::LogonFailed, "此帐户的密码已过期，无法登录到系统。", kChangePassword, Detail::None},
    {Key::LastError, FREERDP_ERROR_CONNECT_PASSWORD_CERTAINLY_EXPIRED,
     FREERDP_ERROR_CONNECT_PASSWORD_CERTAINLY_EXPIRED, Reason::LogonFailed,
     "此帐户的密码已过期，无法登录到系统。", kChangePassword, Detail::None},
    {Key::LastError, FREERDP_ERROR_CONNECT_PASSWORD_MUST_CHANGE,
     FREERDP_ERROR_CONNECT_PASSWORD_MUST_CHANGE, Reason::LogonFailed,
     "必须先更改此帐户的密码，才能登录到系统。", kChangePassword, Detail::None},
    {Key::LastError, FREERDP_ERROR_CONNECT_ACCOUNT_LOCKED_OUT,
     FREERDP_ERROR_CONNECT_ACCOUNT_LOCKED_OUT, Reason::LogonFailed,
     "此帐户已被锁定，无法登录到系统。", "请等锁定解除后重新连接，或请系统管理员解锁。",
     Detail::None},
    {Key::LastError, FREERDP_ERROR_CONNECT_ACCOUNT_DISABLED, FREERDP_ERROR_CONNECT_ACCOUNT_DISABLED,
     Reason::LogonFailed, "此帐户已被停用，无法登录到系统。", kAskAdmin, Detail::None},
    {Key::LastError, FREERDP_ERROR_CONNECT_CLIENT_REVOKED, FREERDP_ERROR_CONNECT_CLIENT_REVOKED,
     Reason::LogonFailed, "此帐户已被停用，无法登录到系统。", kAskAdmin, Detail::None},
    {Key::LastError, FREERDP_ERROR_CONNECT_ACCOUNT_EXPIRED, FREERDP_ERROR_CONNECT_ACCOUNT_EXPIRED,
     Reason::LogonFailed, "此帐户已过期，无法登录到系统。", kAskAdmin, Detail::None},
    {Key::LastError, FREERDP_ERROR_CONNECT_ACCOUNT_RESTRICTION,
     FREERDP_ERROR_CONNECT_ACCOUNT_RESTRICTION, Reason::LogonFailed,
     "此帐户的限制不允许在此时间或从此计算机登录到系统。",
     "请在允许的时间或从允许的计算机登录，或联系系统管理员。", Detail::None},
    {Key::LastError, FREERDP_ERROR_CONNECT_LOGON_TYPE_NOT_GRANTED,
     FREERDP_ERROR_CONNECT_LOGON_TYPE_NOT_GRANTED, Reason::LogonFailed,
     "此帐户没有远程登录到此系统的权限。", kAskAdmin, Detail::None},
    // The library's code for every other status the server refused the logon with; an
    // account outside its logon hours ends here.
    {Key::LastError, FREERDP_ERROR_AUTHENTICATION_FAILED, FREERDP_ERROR_AUTHENTICATION_FAILED,
     Reason::LogonFailed, "远程计算机拒绝了此帐户的登录。",
     "此帐户可能不允许在此时间登录，或用户名、密码不正确。请检查后重新连接；"
     "如果问题仍然存在，请联系系统管理员获得帮助。",
     Detail::None},
    {Key::LastError, FREERDP_ERROR_INSUFFICIENT_PRIVILEGES, FREERDP_ERROR_INSUFFICIENT_PRIVILEGES,
     Reason::LogonFailed, "此帐户没有访问远程计算机的权限。", kAskAdmin, Detail::None},
    {Key::LastError, FREERDP_ERROR_CONNECT_ACCESS_DENIED, FREERDP_ERROR_CONNECT_ACCESS_DENIED,
     Reason::LogonFailed, "此帐户没有访问远程计算机的权限。", kAskAdmin, Detail::None},
    // A refused password.
    {Key::LastError, FREERDP_ERROR_CONNECT_LOGON_FAILURE, FREERDP_ERROR_CONNECT_WRONG_PASSWORD,
     Reason::LogonFailed, nullptr, nullptr, Detail::None},
    {Key::LastError, FREERDP_ERROR_CONNECT_NO_OR_MISSING_CREDENTIALS,
     FREERDP_ERROR_CONNECT_NO_OR_MISSING_CREDENTIALS, Reason::LogonFailed, nullptr, nullptr,
     Detail::None},
    // The name of the remote computer.
    {Key::LastError, FREERDP_ERROR_DNS_ERROR, FREERDP_ERROR_DNS_NAME_NOT_FOUND,
     Reason::DnsLookupFailed, nullptr, nullptr, Detail::None},
    // Steps of this side that the library reports.
    {Key::LastError, FREERDP_ERROR_PRE_CONNECT_FAILED, FREERDP_ERROR_PRE_CONNECT_FAILED,
     Reason::InternalError, "远程桌面组件无法启动：连接前的准备失败（%1）。", kReinstall,
     Detail::ErrorName},
    {Key::LastError, FREERDP_ERROR_POST_CONNECT_FAILED, FREERDP_ERROR_POST_CONNECT_FAILED,
     Reason::InternalError, "远程桌面组件无法启动：无法准备远程计算机的画面（%1）。", kReinstall,
     Detail::ErrorName},

    // The server's own reasons.
    {Key::ErrorInfo, ERRINFO_RPC_INITIATED_DISCONNECT, ERRINFO_RPC_INITIATED_DISCONNECT,
     Reason::RemoteByServer, "管理员断开了此会话。",
     "会话仍保留在远程计算机上，重新连接即可继续。如有疑问，请联系系统管理员。", Detail::None},
    {Key::ErrorInfo, ERRINFO_RPC_INITIATED_LOGOFF, ERRINFO_RPC_INITIATED_LOGOFF,
     Reason::RemoteByServer, "管理员注销了此会话。",
     "未保存的工作可能已经丢失。如有疑问，请联系系统管理员。", Detail::None},
    {Key::ErrorInfo, ERRINFO_IDLE_TIMEOUT, ERRINFO_IDLE_TIMEOUT, Reason::RemoteByServer,
     "会话的空闲时间达到了远程计算机的限制，会话已结束。", "需要时请重新连接。", Detail::None},
    {Key::ErrorInfo, ERRINFO_LOGON_TIMEOUT, ERRINFO_LOGON_TIMEOUT, Reason::RemoteByServer,
     "会话的时间达到了远程计算机的限制，会话已结束。",
     "需要时请重新连接。如需更长的会话时间，请联系系统管理员。", Detail::None},
    {Key::ErrorInfo, ERRINFO_DISCONNECTED_BY_OTHER_CONNECTION,
     ERRINFO_DISCONNECTED_BY_OTHER_CONNECTION, Reason::RemoteByServer,
     "另一个连接接管了此会话（同一帐户从其他计算机或窗口登录）。",
     "如果不是您本人所为，请联系系统管理员。", Detail::None},
    {Key::ErrorInfo, ERRINFO_OUT_OF_MEMORY, ERRINFO_OUT_OF_MEMORY, Reason::RemoteByServer,
     "远程计算机内存不足，会话已结束。", kReconnectLater, Detail::None},
    {Key::ErrorInfo, ERRINFO_SERVER_DENIED_CONNECTION, ERRINFO_SERVER_DENIED_CONNECTION + 1,
     Reason::RemoteByServer, "远程计算机拒绝了此连接。", kAskAdmin, Detail::None},
    {Key::ErrorInfo, ERRINFO_SERVER_INSUFFICIENT_PRIVILEGES, ERRINFO_SERVER_INSUFFICIENT_PRIVILEGES,
     Reason::RemoteByServer, "此帐户没有访问远程计算机的权限。", kAskAdmin, Detail::None},
    {Key::ErrorInfo, ERRINFO_SERVER_FRESH_CREDENTIALS_REQUIRED,
     ERRINFO_SERVER_FRESH_CREDENTIALS_REQUIRED, Reason::RemoteByServer,
     "远程计算机要求重新输入密码。", "请重新连接并输入密码。", Detail::None},
    // The user ended the session from inside it: nothing to tell.
    {Key::ErrorInfo, ERRINFO_RPC_INITIATED_DISCONNECT_BY_USER, ERRINFO_LOGOFF_BY_USER,
     Reason::RemoteByUser, nullptr, nullptr, Detail::None},
    {Key::ErrorInfo, kErrInfoServerShutdown, kErrInfoServerShutdown, Reason::RemoteByServer,
     "远程计算机正在关机，会话已结束。", "请在远程计算机重新启动后再连接。", Detail::None},
    {Key::ErrorInfo, kErrInfoServerReboot, kErrInfoServerReboot, Reason::RemoteByServer,
     "远程计算机正在重新启动，会话已结束。", "请稍等几分钟后重新连接。", Detail::None},
    {Key::ErrorInfo, ERRINFO_LICENSE_INTERNAL, ERRINFO_LICENSE_NO_REMOTE_CONNECTIONS,
     Reason::RemoteByServer, "远程计算机的授权服务拒绝了此连接（代码 0x%1）。", kAskAdmin,
     Detail::Code},
    {Key::ErrorInfo, 1, 0xFFFFFFFE, Reason::RemoteByServer, "远程计算机结束了会话（代码 0x%1）。",
     kReconnectLater, Detail::Code},

    // Failures of this side.
    {Key::Local, ContextFailed, ContextFailed, Reason::InternalError,
     "远程桌面组件无法启动：无法创建连接（freerdp_client_context_new）。", kReinstall,
     Detail::None},
    {Key::Local, SettingsFailed, SettingsFailed, Reason::InternalError,
     "远程桌面组件无法启动：无法应用连接设置（freerdp_settings_set）。", kReinstall, Detail::None},
    {Key::Local, DecoderFailed, DecoderFailed, Reason::DecompressionError,
     "无法显示远程计算机的画面（%1 位色）。", "请在连接设置中选择其他颜色后重新连接。",
     Detail::Depth},
    {Key::Local, ChannelFailed, ChannelFailed, Reason::InternalError,
     "与远程计算机之间的%1通道出错，会话已结束。",
     "请重新连接。如果问题仍然存在，请关闭连接设置中对应的重定向，或联系系统管理员。",
     Detail::Channel},
};

const Row* Find(Key key, std::uint32_t code) {
    for (const Row& row : kRows) {
        if (row.key == key && code >= row.first && code <= row.last) {
            return &row;
        }
    }
    return nullptr;
}

// The channel's own name leads the library's description ("rdpsnd_virtual_channel_…").
QString ChannelName(const EndFacts& f) {
    QString text = QString::fromStdString(f.channelText);
    if (text.startsWith(QLatin1Char('['))) { // "[static] rdpsnd_…"
        text = text.mid(text.indexOf(QLatin1Char(']')) + 1).trimmed();
    }
    qsizetype end = 0;
    while (end < text.size() && text[end].isLetterOrNumber()) {
        ++end;
    }
    const QString id = end > 0 ? text.left(end) : QString::number(f.channelError);
    static const struct {
        const char* id;
        const char* name;
    } known[] = {{"rdpsnd", "声音"},      {"audin", "录音"},       {"cliprdr", "剪贴板"},
                 {"rdpdr", "设备重定向"}, {"drdynvc", "动态通道"}, {"rdpgfx", "图形"},
                 {"disp", "显示"},        {"rail", "远程应用"}};
    for (const auto& k : known) {
        if (id == QLatin1String(k.id)) {
            return QString::fromUtf8(k.name) + QStringLiteral("（") + id + QStringLiteral("）");
        }
    }
    return QStringLiteral("“") + id + QStringLiteral("”");
}

QString DetailText(const Row& row, const EndFacts& f, std::uint32_t code) {
    switch (row.detail) {
    case Detail::ErrorName:
        return QString::fromUtf8(freerdp_get_last_error_name(f.lastError));
    case Detail::Code:
        return QStringLiteral("%1").arg(code, 8, 16, QLatin1Char('0')).toUpper();
    case Detail::Depth:
        return QString::number(f.colourDepth);
    case Detail::Channel:
        return ChannelName(f);
    case Detail::None:
        break;
    }
    return {};
}

EndVerdict Verdict(const Row& row, const EndFacts& f, std::uint32_t code) {
    EndVerdict v;
    v.reason = row.reason;
    if (row.what == nullptr) {
        v.message = rdp::DisconnectMessage(row.reason).value_or(QString());
        return v;
    }
    QString what = QString::fromUtf8(row.what);
    if (row.detail != Detail::None) {
        what = what.arg(DetailText(row, f, code));
    }
    v.message = what + QStringLiteral("\r\n\r\n") + QString::fromUtf8(row.advice);
    return v;
}

// An end without a row: told by its reason alone.
EndVerdict ByReason(int reason, bool reconnect) {
    return {reason, rdp::DisconnectMessage(reason).value_or(QString()), reconnect};
}

// The server's error info, also when the library passed it on as its last error.
std::uint32_t ServerErrorInfo(const EndFacts& f) {
    if (f.errorInfo != 0) {
        return f.errorInfo;
    }
    return GET_FREERDP_ERROR_CLASS(f.lastError) == FREERDP_ERROR_ERRINFO_CLASS
               ? GET_FREERDP_ERROR_TYPE(f.lastError)
               : 0;
}

std::uint32_t LocalCodeOf(const EndFacts& f) {
    switch (f.localFailure) {
    case LocalFailure::Context:
        return ContextFailed;
    case LocalFailure::Settings:
        return SettingsFailed;
    case LocalFailure::None:
        break;
    }
    if (f.decoderFailed) {
        return DecoderFailed;
    }
    // Every link, a reconnected one too, has channels of its own: a failed channel is one.
    return f.channelError != 0 ? std::uint32_t{ChannelFailed} : 0U;
}

// The guess for a server that closed the link during NLA and still accepts connections.
bool NlaClosedByServer(const EndFacts& f) {
    return f.credentialsSent && f.serverReachable;
}

} // namespace

EndVerdict JudgeEnd(const EndFacts& f) {
    if (!f.refusedDesktop.isEmpty()) { // ended here, but for the server's size
        return {Reason::OutOfMemory,
                rdp::DisconnectMessage(Reason::OutOfMemory, f.refusedDesktop).value_or(QString()),
                false};
    }
    if (f.localRequest || f.certificateRejected) {
        return {Reason::LocalDisconnect, {}, false};
    }
    if (const std::uint32_t local = LocalCodeOf(f)) {
        return Verdict(*Find(Key::Local, local), f, local);
    }
    if (!f.wasConnected && f.watchdogFired) {
        return ByReason(Reason::Timeout, false);
    }
    if (const Row* row = Find(Key::LastError, f.lastError)) {
        return Verdict(*row, f, f.lastError);
    }
    if (const std::uint32_t info = ServerErrorInfo(f)) {
        return Verdict(*Find(Key::ErrorInfo, info), f, info);
    }
    if (NlaClosedByServer(f)) {
        return ByReason(Reason::LogonFailed, false);
    }
    if (!f.wasConnected) {
        return ByReason(Reason::SocketConnectFailed, false);
    }
    // The server closed the session without saying why (a clean close), or the link broke.
    const bool broke = f.linkLost || f.lastError != 0;
    return broke ? ByReason(Reason::SocketClosed, true) : ByReason(Reason::RemoteByServer, false);
}

int DisconnectReasonFor(const EndFacts& f) {
    return JudgeEnd(f).reason;
}

bool MayReconnect(const EndFacts& f) {
    return JudgeEnd(f).reconnect;
}

std::string EndFactsLine(const EndFacts& f, int reason) {
    const char* name = freerdp_get_last_error_name(f.lastError);
    const char* info = f.errorInfo != 0 ? freerdp_get_error_info_name(f.errorInfo) : nullptr;
    char line[512];
    std::snprintf(line, sizeof line,
                  "session ended: error %s (0x%08X), error info %s (0x%08X), reason %d%s%s%s%s%s",
                  name ? name : "?", f.lastError, info ? info : "none", f.errorInfo, reason,
                  f.localRequest ? ", closed here" : "", f.watchdogFired ? ", timed out" : "",
                  f.wasConnected ? ", had connected" : "",
                  f.decoderFailed ? ", picture not decoded" : "",
                  f.channelError != 0 ? (", channel: " + f.channelText).c_str() : "");
    return line;
}

} // namespace rdp::freerdp
