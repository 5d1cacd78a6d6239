#include "app/Handover.h"

#include "ui/setup/RDP_frmSetup.h"

namespace RDP_basClient {

void OpenSetup() {
    // The setup window exists while it is open.
    RDP_frmSetup window;
    window.Init();
}

} // namespace RDP_basClient
