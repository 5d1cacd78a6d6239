// Painting of the FreeRDP control: the remote screen at the scroll offset, the connecting
// text before the first frame, and black beyond the remote desktop.
#include "common/PhaseStamps.h"
#include "session/freerdp/control/DisplayScale.h"
#include "session/freerdp/control/FreeRdpControl.h"
#include "session/freerdp/control/ScreenBlit.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

namespace rdp::freerdp {

// On X11 the control paints into a window of its own, straight from the picture's shared
// pixels: Qt keeps no window-sized buffer for it and copies nothing per frame. The scroll
// bars get windows of their own, which the X server keeps out of the control's drawing.
void FreeRdpControl::paintOnScreenWhenPossible() {
    if (!ScreenBlit::Available()) {
        return;
    }
    onScreen_ = true;
    frames_.setShared(true);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NativeWindow);
    for (QScrollBar* bar : {hBar_, vBar_}) {
        bar->setAttribute(Qt::WA_NativeWindow);
    }
}

QPaintEngine* FreeRdpControl::paintEngine() const {
    return onScreen_ ? nullptr : RdpClientControl::paintEngine();
}

void FreeRdpControl::paintEvent(QPaintEvent* event) {
    // grab() and render() paint into another device: always through QPainter.
    if (!onScreen_ || redirected(nullptr) != nullptr || !paintOnScreen(event->region())) {
        paintWithPainter(event->region());
    }
    if (!paintedOnce_ && frames_.hasFrame()) {
        paintedOnce_ = true;
        StampPhase("painted");
    }
    raiseLoginCompleteOnFirstFrame();
}

// The picture goes 1:1 into the control's window, whose pixels are device pixels: the
// region to paint (logical) is scaled to them first.
bool FreeRdpControl::paintOnScreen(const QRegion& logicalRegion) {
    if (!blit_) {
        blit_ = std::make_unique<ScreenBlit>(this);
    }
    const QRegion region = ScaledCover(logicalRegion, ratio());
    const QPoint offset = scrollOffset();
    const QRect desktop = QRect(QPoint(0, 0), desktopSize()).translated(-offset);
    if (frames_.hasFrame()) {
        // Under the picture's lock until the X server has read the pixels: the library
        // never draws the next frame into pixels still being shown (no torn frame).
        const bool put = frames_.paintShared([&](const QImage& picture, int segment) {
            return blit_->put(picture, segment, region.translated(offset) & picture.rect(),
                              -offset);
        });
        if (!put) {
            onScreen_ = false; // the X server cannot read the segment: Qt's buffer from now on
            setAttribute(Qt::WA_PaintOnScreen, false);
            update();
            return true;
        }
    } else {
        QRegion background = region & desktop;
        if (connecting() && !connectingText_.isEmpty()) {
            background -= putConnectingText(desktop);
        }
        blit_->fill(background, palette().window().color());
    }
    blit_->fill(region - desktop, Qt::black);
    blit_->flush();
    return true;
}

// The connecting text in the middle of the visible desktop (device pixels), drawn at the
// screen's scale; returns the rectangle it covers.
QRect FreeRdpControl::putConnectingText(const QRect& desktop) {
    const double r = ratio();
    const QRect area = ScaledCover(desktop, 1 / r) & rect();
    const QRect textRect =
        ScaledCover(fontMetrics().boundingRect(area, Qt::AlignCenter, connectingText_) & area, r);
    QImage text(textRect.size(), QImage::Format_RGB32);
    text.setDevicePixelRatio(r);
    text.fill(palette().window().color());
    QPainter p(&text);
    p.setFont(font());
    p.setPen(palette().windowText().color());
    p.drawText(QRectF(area).translated(-QPointF(textRect.topLeft()) / r), Qt::AlignCenter,
               connectingText_);
    p.end();
    blit_->putImage(text, textRect.topLeft());
    return textRect;
}

// The picture is drawn 1:1 in device pixels at the scroll offset; everything beyond the
// remote desktop is black from the first paint on.
void FreeRdpControl::paintWithPainter(const QRegion& widgetRegion) {
    QPainter painter(this);
    const double r = ratio();
    const QPoint offset = scrollOffset();
    const QRect desktop = QRect(QPoint(0, 0), desktopSize()).translated(-offset);
    const QRegion region = ScaledCover(widgetRegion, r);
    painter.setWorldTransform(QTransform::fromScale(1 / r, 1 / r));
    if (frames_.hasFrame()) {
        painter.translate(-offset);
        frames_.paint(painter, region.translated(offset) & desktop.translated(offset));
        painter.translate(offset);
    } else {
        painter.fillRect(desktop, palette().window());
    }
    for (const QRect& outside : region - desktop) {
        painter.fillRect(outside, Qt::black);
    }
    if (!frames_.hasFrame() && connecting() && !connectingText_.isEmpty()) {
        painter.resetTransform();
        painter.drawText(ScaledCover(desktop, 1 / r) & rect(), Qt::AlignCenter, connectingText_);
    }
}

// Servers that never send a logon notice: the first painted frame stands for it.
void FreeRdpControl::raiseLoginCompleteOnFirstFrame() {
    if (frames_.hasFrame() && established() && !loginCompleteRaised_) {
        const unsigned generation = generation_;
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == generation_) {
                raiseLoginComplete();
            }
        });
    }
}

} // namespace rdp::freerdp
