#pragma once

// The C entry points of the FreeRDP control's module, looked up by name by the program.
class QWidget;
class RdpClientControl;

#define RDP_FREERDP_MODULE_EXPORT __attribute__((visibility("default")))

extern "C" {
// A new FreeRDP control as a child of `parent`.
RDP_FREERDP_MODULE_EXPORT RdpClientControl* rdp_freerdp_create_control(QWidget* parent);
// The version of the program the module was built with, "1.0.0".
RDP_FREERDP_MODULE_EXPORT const char* rdp_freerdp_module_version();
// Non-zero when the module works with a program of that version.
RDP_FREERDP_MODULE_EXPORT int rdp_freerdp_accepts_program(const char* programVersion);
// Starts the library's one-time start-up work on a background thread; returns at once.
RDP_FREERDP_MODULE_EXPORT void rdp_freerdp_warm_up();
}

using RdpFreeRdpCreateControl = RdpClientControl* (*)(QWidget*);
using RdpFreeRdpWarmUp = void (*)();
using RdpFreeRdpModuleVersion = const char* (*)();
using RdpFreeRdpAcceptsProgram = int (*)(const char*);
