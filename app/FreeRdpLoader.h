#pragma once

class QWidget;
class RdpClientControl;

namespace rdp {

// The FreeRDP control lives in a module of its own beside the program (or, for a program
// run from the build tree or copied out of it, in the build tree). It is loaded on the GUI
// thread when the user starts typing in the login window (or, at the latest, when the first
// control is made); the library's warm-up then runs in the background.
//
// The session window's control factory: a new FreeRDP control, or nullptr (after a note
// on stderr) when the module cannot be loaded.
RdpClientControl* CreateFreeRdpControlFromModule(QWidget* parent);

// Loads the module and starts the library's warm-up now, if not done yet. The program calls
// it on the first key press in the login window, so that neither the idle window nor the
// connection pays for the library.
void PreloadFreeRdpModule();

} // namespace rdp
