#include "session/freerdp/DisconnectReason.h"

#include <freerdp/error.h>
#include <freerdp/freerdp.h>

#include <cstdio>

namespace rdp::freerdp {
namespace {

bool IsLogonError(std::uint32_t lastError) {
    switch (lastError) {
    case FREERDP_ERROR_AUTHENTICATION_FAILED:
    case FREERDP_ERROR_CONNECT_LOGON_FAILURE:
    case FREERDP_ERROR_CONNECT_WRONG_PASSWORD:
    case FREERDP_ERROR_CONNECT_NO_OR_MISSING_CREDENTIALS:
    case FREERDP_ERROR_CONNECT_ACCOUNT_LOCKED_OUT:
    case FREERDP_ERROR_CONNECT_ACCOUNT_DISABLED:
    case FREERDP_ERROR_CONNECT_ACCOUNT_RESTRICTION:
    case FREERDP_ERROR_CONNECT_ACCOUNT_EXPIRED:
    case FREERDP_ERROR_CONNECT_PASSWORD_EXPIRED:
    case FREERDP_ERROR_CONNECT_PASSWORD_CERTAINLY_EXPIRED:
    case FREERDP_ERROR_CONNECT_PASSWORD_MUST_CHANGE:
    case FREERDP_ERROR_CONNECT_LOGON_TYPE_NOT_GRANTED:
    case FREERDP_ERROR_CONNECT_ACCESS_DENIED:
    case FREERDP_ERROR_CONNECT_CLIENT_REVOKED:
    case FREERDP_ERROR_INSUFFICIENT_PRIVILEGES:
        return true;
    default:
        return false;
    }
}

int ReasonFromErrorInfo(std::uint32_t errorInfo) {
    switch (errorInfo) {
    case ERRINFO_RPC_INITIATED_DISCONNECT_BY_USER:
    case ERRINFO_LOGOFF_BY_USER:
        return Reason::RemoteByUser;
    default:
        return Reason::RemoteByServer;
    }
}

int ConnectFailureReason(const EndFacts& f) {
    if (CredentialsRefused(f)) {
        return Reason::LogonFailed;
    }
    switch (f.lastError) {
    case FREERDP_ERROR_DNS_NAME_NOT_FOUND:
    case FREERDP_ERROR_DNS_ERROR:
        return Reason::DnsLookupFailed;
    default:
        break;
    }
    if (f.errorInfo != 0) {
        return ReasonFromErrorInfo(f.errorInfo);
    }
    return Reason::SocketConnectFailed;
}

} // namespace

int DisconnectReasonFor(const EndFacts& f) {
    if (f.desktopRefused) {
        return Reason::OutOfMemory; // ended here, but for the server's size
    }
    if (f.localRequest || f.certificateRejected) {
        return Reason::LocalDisconnect;
    }
    if (!f.wasConnected) {
        return f.watchdogFired ? Reason::Timeout : ConnectFailureReason(f);
    }
    if (CredentialsRefused(f)) {
        return Reason::LogonFailed; // a reconnection was refused
    }
    if (f.errorInfo != 0) {
        return ReasonFromErrorInfo(f.errorInfo);
    }
    if (f.linkLost) {
        return Reason::SocketClosed;
    }
    // The server closed the session without saying why (a clean close), or the link broke.
    return f.lastError == 0 ? Reason::RemoteByServer : Reason::SocketClosed;
}

bool CredentialsRefused(const EndFacts& f) {
    return IsLogonError(f.lastError) || (f.credentialsSent && f.serverReachable);
}

std::string EndFactsLine(const EndFacts& f, int reason) {
    const char* name = freerdp_get_last_error_name(f.lastError);
    char line[256];
    std::snprintf(
        line, sizeof line, "session ended: error %s (0x%08X), error info 0x%08X, reason %d%s%s%s",
        name ? name : "?", f.lastError, f.errorInfo, reason, f.localRequest ? ", closed here" : "",
        f.watchdogFired ? ", timed out" : "", f.wasConnected ? ", had connected" : "");
    return line;
}

} // namespace rdp::freerdp
