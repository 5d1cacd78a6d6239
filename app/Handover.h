#pragma once

// The hand-over from the login window to the session and setup windows.
namespace rdp {
class LoginHandover;
}

namespace RDP_basClient {

// Opens the session window for the selected profile and starts connecting. False, after a
// message, when there is no profile, none is selected, or the selected one has no usable
// server or port. Errors of the session set-up pass to the caller as rdp::Error.
bool OpenDesktop();

// Runs the setup window modally; returns when it has closed.
void OpenSetup();

// The two above as the login window asks for them; one for the program's life.
rdp::LoginHandover& ProgramHandover();

} // namespace RDP_basClient
