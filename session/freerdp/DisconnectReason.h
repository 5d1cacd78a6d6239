#pragma once

#include <cstdint>
#include <string>

namespace rdp::freerdp {

// The classic disconnection reasons the control reports in OnDisconnected.
namespace Reason {
inline constexpr int LocalDisconnect = 1;
inline constexpr int RemoteByUser = 2;
inline constexpr int RemoteByServer = 3;
inline constexpr int DnsLookupFailed = 260;
inline constexpr int OutOfMemory = 262; // also: a desktop size this side refused
inline constexpr int Timeout = 264;
inline constexpr int SocketConnectFailed = 516;
inline constexpr int LogonFailed = 2055;
inline constexpr int SocketClosed = 2308;
} // namespace Reason

// What the session saw when it ended; the library's own codes are kept as they came.
struct EndFacts {
    bool localRequest = false;        // Disconnect() or the window going away
    bool watchdogFired = false;       // the server never answered in time
    bool certificateRejected = false; // the user cancelled the certificate question
    bool wasConnected = false;        // the session had come up before it ended
    bool credentialsSent = false;     // NLA started with our password and got no further
    bool serverReachable = false;     // after that, the server still accepted connections
    bool linkLost = false;            // the link broke and reconnecting did not bring it back
    bool desktopRefused = false;      // the server asked for a desktop this side refused
    std::uint32_t lastError = 0;      // freerdp_get_last_error
    std::uint32_t errorInfo = 0;      // freerdp_error_info (the server's error info PDU)
};

// The reason for OnDisconnected. Cancellations made here win over whatever the library
// reported while being cancelled; a connection that never came up is told apart from a
// session that ended.
int DisconnectReasonFor(const EndFacts& facts);

// The server refused the credentials: it said so, or it closed the link during NLA while
// staying reachable (a server that went away or a broken link is not a refusal).
bool CredentialsRefused(const EndFacts& facts);

// One line for support staff: the library's error name and code, the server's error info
// and the reason chosen.
std::string EndFactsLine(const EndFacts& facts, int reason);

} // namespace rdp::freerdp
