#include "session/freerdp/FreeRdpFactory.h"

#include "session/freerdp/FreeRdpControl.h"

namespace rdp::freerdp {

RdpClientControl* CreateFreeRdpControl(QWidget* parent) {
    return new FreeRdpControl(parent);
}

} // namespace rdp::freerdp
