#pragma once

#include <QSize>
#include <QString>

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
inline constexpr int InternalError = 1032;
inline constexpr int LogonFailed = 2055;
inline constexpr int SocketClosed = 2308;
inline constexpr int DecompressionError = 3080;
} // namespace Reason

// A step on this computer that failed before the server was reached.
enum class LocalFailure {
    None,
    Context,  // the library's client context could not be created
    Settings, // the profile's settings could not be handed to the library
};

// What the session saw when it ended; the library's own codes are kept as they came.
struct EndFacts {
    bool localRequest = false;        // Disconnect() or the window going away
    bool watchdogFired = false;       // the server never answered in time
    bool certificateRejected = false; // the user cancelled the certificate question
    bool wasConnected = false;        // the session had come up before it ended
    bool credentialsSent = false;     // NLA started with our password and got no further
    bool serverReachable = false;     // after that, the server still accepted connections
    bool linkLost = false;            // the link broke and reconnecting did not bring it back
    QSize refusedDesktop = {};        // the desktop the server asked for and this side refused
    bool decoderFailed = false;       // the library could not decode a picture the server sent
    LocalFailure localFailure = LocalFailure::None;
    int colourDepth = 0;            // bits per pixel asked for (for the decoder's message)
    std::uint32_t lastError = 0;    // freerdp_get_last_error
    std::uint32_t errorInfo = 0;    // freerdp_error_info (the server's error info PDU)
    std::uint32_t channelError = 0; // getChannelError: a channel of the library failed
    std::string channelText = {};   // getChannelErrorDescription ("rdpsnd_… failed …")
};

// How a session's end is told: the reason for OnDisconnected, the user's message (empty
// for an end the user asked for or expects) and whether a broken link may be tried again.
struct EndVerdict {
    int reason = 0;
    QString message;
    bool reconnect = false;
};

// The one mapping from what the session saw to what the user is told. Cancellations made
// here win over whatever the library reported while being cancelled; a failure on this
// computer, a picture or channel the library cannot handle, the account's state the server
// named and the server's own reason each get their message; the guess that a server which
// closed the link during NLA refused the password comes only after all of them.
EndVerdict JudgeEnd(const EndFacts& facts);

// The reason alone (JudgeEnd(facts).reason).
int DisconnectReasonFor(const EndFacts& facts);

// A link that broke like this may be tried again (JudgeEnd(facts).reconnect): never after
// the server named its reason or refused the account, nor after a failure of this side.
bool MayReconnect(const EndFacts& facts);

// One line for support staff: the library's error name and code, the server's error info,
// a failed channel or decoder, and the reason chosen.
std::string EndFactsLine(const EndFacts& facts, int reason);

} // namespace rdp::freerdp
