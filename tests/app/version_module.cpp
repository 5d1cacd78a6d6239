// A stand-in for the FreeRDP module with the entry points the program looks up; built once
// with the program's version and once with another.
#include "session/freerdp/FreeRdpModule.h"

#include <cstring>

extern "C" {

RDP_FREERDP_MODULE_EXPORT RdpClientControl* rdp_freerdp_create_control(QWidget*) {
    return nullptr;
}

RDP_FREERDP_MODULE_EXPORT void rdp_freerdp_warm_up() {}

RDP_FREERDP_MODULE_EXPORT const char* rdp_freerdp_module_version() {
    return MODULE_VERSION;
}

RDP_FREERDP_MODULE_EXPORT int rdp_freerdp_accepts_program(const char* programVersion) {
    return std::strcmp(programVersion, ACCEPTED_PROGRAM) == 0;
}

} // extern "C"
