// The remote pointer's shape and position on the FreeRDP control.
#include "session/freerdp/control/DisplayScale.h"
#include "session/freerdp/control/FreeRdpControl.h"

#include "session/freerdp/link/FreeRdpSession.h"

#include <QCursor>
#include <QPixmap>

namespace rdp::freerdp {

// The session keeps only the latest shape and position; one notice brings both.
void FreeRdpControl::onSessionPointer(unsigned generation) {
    if (generation != generation_ || !session_) {
        return;
    }
    const PointerHandOff::Pending pending = session_->takePointer();
    if (pending.shape) {
        onSessionCursor(generation, *pending.shape);
    }
    if (pending.position) {
        onSessionCursorMoved(generation, *pending.position);
    }
}

void FreeRdpControl::onSessionCursor(unsigned generation, const RemoteCursor& cursor) {
    if (generation != generation_ || seen_ == SessionState::Ended) {
        return;
    }
    switch (cursor.kind) {
    case RemoteCursor::Kind::Image: {
        // The remote pointer's image is in device pixels, like the picture.
        QPixmap image = QPixmap::fromImage(cursor.image);
        image.setDevicePixelRatio(ratio());
        const QPoint hot = LocalPoint(cursor.hotSpot, ratio(), QPoint());
        setCursor(QCursor(image, hot.x(), hot.y()));
        break;
    }
    case RemoteCursor::Kind::Hidden:
        setCursor(Qt::BlankCursor);
        break;
    case RemoteCursor::Kind::Default:
        setCursor(Qt::ArrowCursor);
        break;
    }
}

void FreeRdpControl::onSessionCursorMoved(unsigned generation, QPoint at) {
    // The remote side moved its pointer: follow it while the session has the mouse.
    if (generation != generation_ || !established() || !hasFocus() || !underMouse()) {
        return;
    }
    const QPoint local = LocalPoint(at, ratio(), scrollOffset());
    if (rect().contains(local) && mapFromGlobal(QCursor::pos()) != local) {
        QCursor::setPos(mapToGlobal(local));
    }
}

} // namespace rdp::freerdp
