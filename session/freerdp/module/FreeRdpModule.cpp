// The entry points of the FreeRDP control built as a module of its own. The program loads it
// only when a session starts: the library and everything it pulls in (codecs, printing,
// sound) cost the login window start-up time and memory it has no use for.
#include "session/freerdp/module/FreeRdpModule.h"
#include "Version.h"
#include "session/freerdp/module/FreeRdpFactory.h"
#include "session/freerdp/module/WarmUp.h"

#include <cstring>

extern "C" {

RDP_FREERDP_MODULE_EXPORT RdpClientControl* rdp_freerdp_create_control(QWidget* parent) {
    return rdp::freerdp::CreateFreeRdpControl(parent);
}

RDP_FREERDP_MODULE_EXPORT const char* rdp_freerdp_module_version() {
    return rdp::VersionText;
}

RDP_FREERDP_MODULE_EXPORT int rdp_freerdp_accepts_program(const char* programVersion) {
    return programVersion != nullptr && std::strcmp(programVersion, rdp::VersionText) == 0;
}

RDP_FREERDP_MODULE_EXPORT void rdp_freerdp_warm_up() {
    rdp::freerdp::WarmUpInBackground();
}

} // extern "C"
