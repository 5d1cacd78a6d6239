#pragma once

class QWidget;
class RdpClientControl;

namespace rdp {

// The FreeRDP control lives in a module of its own beside the program (or in the library
// folder of its installation, ../lib/rdp-launcher/); only a build made for the tests also
// looks into its build tree. It is loaded on the GUI thread when the user starts typing in
// the login window (or, at the latest, when the first control is made); the library's
// warm-up then runs in the background. Module and program must be of one version.
//
// The session window's control factory: a new FreeRDP control. Throws rdp::Error (429) with
// a message that names the module and asks to keep the program's folder together when the
// module is missing, cannot be loaded or is of another version.
RdpClientControl* CreateFreeRdpControlFromModule(QWidget* parent);

// Loads the module and starts the library's warm-up now, if not done yet. The program calls
// it on the first key press in the login window, so that neither the idle window nor the
// connection pays for the library.
void PreloadFreeRdpModule();

} // namespace rdp
