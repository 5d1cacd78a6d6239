#pragma once

namespace rdp {

// What the login window asks of the program it runs in: to open a session for the selected
// profile and to run the setup window. The program provides it; the window knows nothing of
// the session or setup windows.
class LoginHandover {
public:
    virtual ~LoginHandover() = default;
    // False, after its message, when no session was opened; the login window shows again.
    virtual bool OpenDesktop() = 0;
    // Returns when the setup window has closed.
    virtual void OpenSetup() = 0;
};

} // namespace rdp
