#pragma once

class RDP_ConnectParaItems;

namespace rdp {

// Why a profile cannot be opened as a session.
enum class SessionTargetFault {
    None,        // server and port are usable
    EmptyServer, // the server is empty (or only blanks)
    BadPort,     // the port is not one by rdp::PortNumber
};

// Checks the profile's Server and Port before a session window is opened for it.
SessionTargetFault CheckSessionTarget(const RDP_ConnectParaItems& profile);
inline bool IsSessionTargetValid(const RDP_ConnectParaItems& profile) {
    return CheckSessionTarget(profile) == SessionTargetFault::None;
}

} // namespace rdp
