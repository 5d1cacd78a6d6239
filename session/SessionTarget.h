#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class RDP_ConnectParaItems;

namespace rdp {

// Why a profile cannot be opened as a session.
enum class SessionTargetFault {
    None,        // server and port are usable
    EmptyServer, // the server is empty (or only blanks)
    BadPort,     // the port is not a whole number from 1 to 65535
};

// The port text as a number: leading and trailing blanks are ignored, the rest must be
// decimal digits (ASCII) with a value from 1 to 65535. Anything else gives no value.
std::optional<std::int32_t> SessionPort(const QString& port);

// Checks the profile's Server and Port before a session window is opened for it.
SessionTargetFault CheckSessionTarget(const RDP_ConnectParaItems& profile);
inline bool IsSessionTargetValid(const RDP_ConnectParaItems& profile) {
    return CheckSessionTarget(profile) == SessionTargetFault::None;
}

} // namespace rdp
