// Keyboard, mouse and focus of the FreeRDP control.
#include "session/freerdp/control/FreeRdpControl.h"

#include "session/freerdp/control/DisplayScale.h"
#include "session/freerdp/control/InputMapping.h"
#include "session/freerdp/control/LockKeys.h"
#include "session/freerdp/link/FreeRdpSession.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>

namespace rdp::freerdp {
namespace {

constexpr std::uint16_t kPointerMove = 0x0800;

std::uint16_t Coordinate(double v) {
    return static_cast<std::uint16_t>(std::clamp(static_cast<int>(v), 0, 0x7FFF));
}

InputEvent Pointer(std::uint16_t flags, QPointF at, bool extended = false) {
    InputEvent e;
    e.kind = extended ? InputEvent::Kind::ExtendedMouse : InputEvent::Kind::Mouse;
    e.flags = flags;
    e.x = Coordinate(at.x());
    e.y = Coordinate(at.y());
    return e;
}

} // namespace

void FreeRdpControl::send(const InputEvent& event) {
    if (session_ && established()) {
        session_->sendInput(event);
    } else if (session_ && connecting() && event.kind == InputEvent::Kind::Key) {
        earlyKeys_.push_back(event); // typed while connecting: sent once connected
    }
}

// The keys typed while the connection was being made, in their order.
void FreeRdpControl::sendEarlyKeys() {
    std::vector<InputEvent> keys;
    keys.swap(earlyKeys_);
    for (const InputEvent& key : keys) {
        send(key);
    }
}

bool FreeRdpControl::event(QEvent* e) {
    // While the session has focus, shortcuts belong to the remote computer.
    if (e->type() == QEvent::ShortcutOverride && established()) {
        e->accept();
        return true;
    }
    if (e->type() == QEvent::WinIdChange) {
        watchOwnWindow();
    }
    return RdpClientControl::event(e);
}

// The control's own window (on X11) sees the pointer's positions before Qt rounds them to
// the widget's whole logical pixels.
void FreeRdpControl::watchOwnWindow() {
    if (QWindow* own = windowHandle()) {
        own->installEventFilter(this);
    }
}

bool FreeRdpControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->isSinglePointEvent()) {
        exactPointer_ = static_cast<QSinglePointEvent*>(event)->position();
    }
    return RdpClientControl::eventFilter(watched, event);
}

QPointF FreeRdpControl::toRemote(QPointF local) const {
    const bool exact = (exactPointer_ - local).manhattanLength() < 1.5;
    return RemotePoint(exact ? exactPointer_ : local, ratio(), scrollOffset());
}

bool FreeRdpControl::focusNextPrevChild(bool) {
    return false;
}

void FreeRdpControl::sendKey(QKeyEvent* event, bool down) {
    event->accept();
    if (event->isAutoRepeat() && !down) {
        return; // an auto-repeat sends repeated presses only
    }
    std::uint32_t scancode = 0;
    if (QGuiApplication::platformName() == QStringLiteral("xcb") && event->nativeScanCode() != 0) {
        scancode = ScancodeForX11Keycode(event->nativeScanCode());
    }
    if (scancode == 0) {
        scancode = ScancodeForQtKey(event->key(), event->modifiers() & Qt::KeypadModifier);
    }
    if (scancode == 0) {
        return;
    }
    if (down) {
        heldKeys_.insert(scancode);
    } else {
        heldKeys_.erase(scancode);
    }
    InputEvent e;
    e.kind = InputEvent::Kind::Key;
    e.down = down;
    e.scancode = scancode;
    send(e);
}

void FreeRdpControl::keyPressEvent(QKeyEvent* event) {
    sendKey(event, true);
}
void FreeRdpControl::keyReleaseEvent(QKeyEvent* event) {
    sendKey(event, false);
}

void FreeRdpControl::mouseMoveEvent(QMouseEvent* event) {
    send(Pointer(kPointerMove, toRemote(event->position())));
}

void FreeRdpControl::sendMouseButton(QMouseEvent* event, bool down) {
    bool extended = false;
    const std::uint16_t flags = PointerFlagsForButton(event->button(), down, &extended);
    if (flags == 0) {
        return;
    }
    if (down) {
        heldButtons_ |= event->button();
    } else {
        heldButtons_ &= ~event->button();
    }
    send(Pointer(flags, toRemote(event->position()), extended));
}

void FreeRdpControl::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    sendMouseButton(event, true);
}

void FreeRdpControl::mouseReleaseEvent(QMouseEvent* event) {
    sendMouseButton(event, false);
}

void FreeRdpControl::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    for (const std::uint16_t flags : WheelFlags(delta.y(), false)) {
        send(Pointer(flags, toRemote(event->position())));
    }
    // Qt counts a turn to the left as positive, RDP a turn to the right.
    for (const std::uint16_t flags : WheelFlags(-delta.x(), true)) {
        send(Pointer(flags, toRemote(event->position())));
    }
    event->accept();
}

// The remote lock keys follow this computer's on every return of the focus.
void FreeRdpControl::focusInEvent(QFocusEvent* event) {
    InputEvent e;
    e.kind = InputEvent::Kind::FocusIn;
    e.flags = LocalLockKeyFlags();
    send(e);
    RdpClientControl::focusInEvent(event);
}

void FreeRdpControl::sendLockKeys() {
    InputEvent e;
    e.kind = InputEvent::Kind::LockKeys;
    e.flags = LocalLockKeyFlags();
    send(e);
}

void FreeRdpControl::focusOutEvent(QFocusEvent* event) {
    releaseHeldInput();
    RdpClientControl::focusOutEvent(event);
}

void FreeRdpControl::releaseHeldInput() {
    for (const std::uint32_t scancode : heldKeys_) {
        InputEvent e;
        e.kind = InputEvent::Kind::Key;
        e.scancode = scancode;
        send(e);
    }
    heldKeys_.clear();
    const QPointF at = toRemote(mapFromGlobal(QCursor::pos()));
    for (const Qt::MouseButton b :
         {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton}) {
        bool extended = false;
        if (heldButtons_.testFlag(b)) {
            send(Pointer(PointerFlagsForButton(b, false, &extended), at, extended));
        }
    }
    heldButtons_ = {};
}

} // namespace rdp::freerdp
