#include "session/freerdp/control/LockKeys.h"

#include <QGuiApplication>

#include <freerdp/input.h>

// Xlib last: its macros clash with Qt's names.
#include <X11/XKBlib.h>

namespace rdp::freerdp {
namespace {

bool IndicatorOn(Display* display, const char* name) {
    Bool on = False;
    const Atom atom = XInternAtom(display, name, True);
    return atom != 0 &&
           XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr) == True &&
           on == True;
}

} // namespace

std::uint16_t LockKeyFlags(bool capsLock, bool numLock, bool scrollLock) {
    return static_cast<std::uint16_t>((capsLock ? KBD_SYNC_CAPS_LOCK : 0) |
                                      (numLock ? KBD_SYNC_NUM_LOCK : 0) |
                                      (scrollLock ? KBD_SYNC_SCROLL_LOCK : 0));
}

std::uint16_t LocalLockKeyFlags() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (display == nullptr) {
        return 0;
    }
    return LockKeyFlags(IndicatorOn(display, "Caps Lock"), IndicatorOn(display, "Num Lock"),
                        IndicatorOn(display, "Scroll Lock"));
}

} // namespace rdp::freerdp
