#pragma once

class QWidget;
class RdpClientControl;

namespace rdp {

// The FreeRDP control lives in a module of its own beside the program (or, for a program
// run from the build tree or copied out of it, in the build tree). It is loaded the first
// time a control is made, on the GUI thread; the library's warm-up then runs in the
// background while the session window is built.
//
// The session window's control factory: a new FreeRDP control, or nullptr (after a note
// on stderr) when the module cannot be loaded.
RdpClientControl* CreateFreeRdpControlFromModule(QWidget* parent);

} // namespace rdp
