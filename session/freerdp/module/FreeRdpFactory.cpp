#include "session/freerdp/module/FreeRdpFactory.h"

#include "session/freerdp/control/FreeRdpControl.h"

namespace rdp::freerdp {

RdpClientControl* CreateFreeRdpControl(QWidget* parent) {
    return new FreeRdpControl(parent);
}

} // namespace rdp::freerdp
