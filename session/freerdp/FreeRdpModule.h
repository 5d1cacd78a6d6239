#pragma once

// The C entry points of the FreeRDP control's module, looked up by name by the program.
class QWidget;
class RdpClientControl;

#define RDP_FREERDP_MODULE_EXPORT __attribute__((visibility("default")))

extern "C" {
// A new FreeRDP control as a child of `parent`.
RDP_FREERDP_MODULE_EXPORT RdpClientControl* rdp_freerdp_create_control(QWidget* parent);
// Starts the library's one-time start-up work on a background thread; returns at once.
RDP_FREERDP_MODULE_EXPORT void rdp_freerdp_warm_up();
}

using RdpFreeRdpCreateControl = RdpClientControl* (*)(QWidget*);
using RdpFreeRdpWarmUp = void (*)();
