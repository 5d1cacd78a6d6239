#pragma once

class RDP_frmDesktop;

namespace rdp {

// The program's one session window, created hidden on first use and kept to the end of the
// program. OpenDesktop calls DesktopWindow().Init(); a further Init on the same window
// repeats the sizing and showing and then only reports "已经登陆" while connected.
RDP_frmDesktop& DesktopWindow();

// Destroys the window so that the next DesktopWindow() makes a new one (tests).
void UnloadDesktopWindow();

} // namespace rdp
