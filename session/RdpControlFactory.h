#pragma once

#include <functional>

class QWidget;
class RdpClientControl;

namespace rdp {

// Makes the Remote Desktop control that a session window hosts, as a child of `parent`.
// The program installs the FreeRDP control's factory before it opens any window; tests
// install one that makes a recording fake.
using RdpControlFactory = std::function<RdpClientControl*(QWidget* parent)>;

// Installs the factory (an empty one removes it).
void SetRdpControlFactory(RdpControlFactory factory);

// A new control from the installed factory. Throws rdp::Error (429, the object cannot be
// created) when no factory is installed or it makes none.
RdpClientControl* CreateRdpControl(QWidget* parent);

} // namespace rdp
