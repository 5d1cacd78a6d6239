#include "tests/e2e/LockKeyState.h"

#include <QGuiApplication>

// Xlib last: its macros clash with Qt's names.
#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace rdp::test {

bool SetLocalNumLock(bool on) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* d = x11 ? x11->display() : nullptr;
    if (d == nullptr) {
        return false;
    }
    const unsigned mask = XkbKeysymToModifiers(d, XK_Num_Lock);
    const bool done = mask != 0 && XkbLockModifiers(d, XkbUseCoreKbd, mask, on ? mask : 0);
    XSync(d, False);
    return done;
}

std::optional<bool> NumLockOn(const QString& display, const QString& xauthority) {
    const QByteArray previous = qgetenv("XAUTHORITY");
    qputenv("XAUTHORITY", xauthority.toLocal8Bit());
    Display* d = XOpenDisplay(display.toLocal8Bit().constData());
    qputenv("XAUTHORITY", previous);
    if (d == nullptr) {
        return std::nullopt;
    }
    Bool on = False;
    const Atom name = XInternAtom(d, "Num Lock", True);
    const bool read = name != 0 && XkbGetNamedIndicator(d, name, nullptr, &on, nullptr, nullptr);
    XCloseDisplay(d);
    return read ? std::optional<bool>(on == True) : std::nullopt;
}

} // namespace rdp::test
