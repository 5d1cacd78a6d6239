#pragma once

// app/: the program itself: main, the start-up checks, loading the FreeRDP module and the
// hand-over from the login window to the session and setup windows.

#include <QStringList>

namespace RDP_basApp {

// The program's start: creates the connection list, refuses an unsafe folder, loads the
// store and opens the login window. Returns once the login window runs the program; on a
// refusal, a damaged store or an unexpected error it ends the program (through the
// platform) and returns.
void Main();

} // namespace RDP_basApp

namespace RDP_basClient {

// False (after its message) when the program runs from the root of a volume or from a
// folder whose name ends in "桌面"; otherwise records the program folder in the
// run-location record once and answers true. Errors pass to the caller as rdp::Error.
bool CheckRunLocation();

// The lines of the run-location record, up to the first empty line.
QStringList ReadRunLocations();

// The run-location record "WinClientPath.DLL" in the system folder.
QString RunLocationFilePath();

} // namespace RDP_basClient
