// A stand-in for the FreeRDP module with the entry points the program looks up; built with
// the program's version, with another, and with the program's version but no control entry.
#include "session/freerdp/module/FreeRdpModule.h"

#include <cstring>

extern "C" {

#ifndef WITHOUT_ENTRY
RDP_FREERDP_MODULE_EXPORT RdpClientControl* rdp_freerdp_create_control(QWidget*) {
    return nullptr;
}
#endif

RDP_FREERDP_MODULE_EXPORT void rdp_freerdp_warm_up() {}

RDP_FREERDP_MODULE_EXPORT const char* rdp_freerdp_module_version() {
    return MODULE_VERSION;
}

RDP_FREERDP_MODULE_EXPORT int rdp_freerdp_accepts_program(const char* programVersion) {
    return std::strcmp(programVersion, ACCEPTED_PROGRAM) == 0;
}

} // extern "C"
