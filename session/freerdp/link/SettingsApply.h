#pragma once

#include "session/freerdp/link/ControlSettings.h"
#include "session/freerdp/link/LocalDevices.h"

#include <freerdp/settings.h>

#include <vector>

namespace rdp::freerdp {

struct UserAndDomain {
    QString user;
    QString domain; // empty when none was given
};

// "DOMAIN\user" splits at the first backslash; "user@realm" and "user" stay whole.
UserAndDomain SplitUserName(const QString& userName);

// What this computer offers to redirect when the profile asks for it.
struct LocalOffer {
    std::vector<LocalPort> ports;
    bool smartCardService = false;
    std::uint32_t keyboardLayout = 0x409;
    std::vector<LocalDrive> drives;
};

// Writes the control's properties into the library's settings through the settings
// accessors. Returns false when the library refused a value.
bool ApplySettings(rdpSettings* settings, const ControlSettings& control, const LocalOffer& offer);

// Hands the auto-reconnect cookie that the server gave the session of `from` (if it gave
// one) to `to`: its next logon then presents the cookie, and the server resumes that
// session instead of checking the password anew.
void CarryReconnectCookie(const rdpSettings* from, rdpSettings* to);

} // namespace rdp::freerdp
