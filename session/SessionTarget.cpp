#include "session/SessionTarget.h"

#include "profiles/PortNumber.h"
#include "profiles/RDP_ConnectParaItems.h"

namespace rdp {

SessionTargetFault CheckSessionTarget(const RDP_ConnectParaItems& profile) {
    if (profile.Server().trimmed().isEmpty()) {
        return SessionTargetFault::EmptyServer;
    }
    if (!PortNumber(profile.Port())) {
        return SessionTargetFault::BadPort;
    }
    return SessionTargetFault::None;
}

} // namespace rdp
