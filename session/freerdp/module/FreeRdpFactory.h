#pragma once

class QWidget;
class RdpClientControl;

namespace rdp::freerdp {

// Creates the FreeRDP Remote Desktop control (for the session window's control factory).
RdpClientControl* CreateFreeRdpControl(QWidget* parent);

} // namespace rdp::freerdp
