#pragma once

#include "session/freerdp/module/FreeRdpModule.h"

#include <QString>
#include <QStringList>

class QWidget;
class RdpClientControl;

namespace rdp {

// The FreeRDP control lives in a module of its own beside the program (or in the library
// folder of its installation, ../lib/rdp-launcher/); only a build made for the tests also
// looks into its build tree. It is loaded on a thread of its own when the user starts typing
// in the login window (or on the GUI thread, at the latest, when the first control is made);
// the library's warm-up then runs in the background. Module and program must be of one
// version.
//
// The session window's control factory: a new FreeRDP control. Throws rdp::Error (429) with
// a message that names the module and asks to keep the program's folder together when the
// module is missing, cannot be loaded or is of another version.
RdpClientControl* CreateFreeRdpControlFromModule(QWidget* parent);

// A loaded module's entry point, or what the user is told when there is none.
struct FreeRdpModule {
    RdpFreeRdpCreateControl create = nullptr;
    QString problem;
};

// Loads the first of the candidate files that exists, if its version is the program's, and
// starts its warm-up. Modules are never unloaded.
FreeRdpModule LoadFreeRdpModule(const QStringList& candidates);

// Starts loading the module (and then the library's warm-up) on a thread of its own, if not
// done yet; the first control made waits for it. The program calls it on the first key press
// in the login window, so that neither the idle window, nor the typing, nor the connection
// pays for the library. GUI thread only.
void PreloadFreeRdpModule();

} // namespace rdp
