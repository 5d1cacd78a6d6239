#include "ui/login/LoginArtwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace LoginArtwork {

namespace {

QPixmap Canvas(QSize size, qreal ratio) {
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A small monitor with a link arc: the product's mark at the left of the title strip.
void PaintMark(QPainter& p, const QRectF& box) {
    const QColor ink(255, 255, 255, 235);
    p.setPen(QPen(ink, 1.4));
    p.setBrush(Qt::NoBrush);
    const QRectF screen(box.left(), box.top() + box.height() * 0.12, box.width(),
                        box.height() * 0.62);
    p.drawRoundedRect(screen, 2, 2);
    const qreal cx = screen.center().x();
    p.drawLine(QPointF(cx, screen.bottom()), QPointF(cx, box.bottom() - 1));
    p.drawLine(QPointF(cx - box.width() * 0.25, box.bottom() - 0.5),
               QPointF(cx + box.width() * 0.25, box.bottom() - 0.5));
    p.setBrush(QColor(120, 200, 255));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(cx, screen.center().y()), screen.height() * 0.18, screen.height() * 0.18);
}

} // namespace

void PaintBackground(QPainter& painter, const QRect& area) {
    QLinearGradient body(area.topLeft(), area.bottomLeft());
    body.setColorAt(0.0, QColor(0xf6, 0xf8, 0xfb));
    body.setColorAt(1.0, QColor(0xe2, 0xe9, 0xf2));
    painter.fillRect(area, body);

    // A soft wave across the lower part.
    QPainterPath wave;
    const qreal w = area.width();
    const qreal h = area.height();
    wave.moveTo(0, h * 0.78);
    wave.cubicTo(w * 0.3, h * 0.68, w * 0.6, h * 0.92, w, h * 0.74);
    wave.lineTo(w, h);
    wave.lineTo(0, h);
    wave.closeSubpath();
    painter.fillPath(wave, QColor(0x2f, 0x6d, 0xb5, 22));

    painter.setPen(QColor(0x7f, 0x97, 0xb8));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}

QPixmap TitleStrip(QSize size, qreal ratio) {
    QPixmap pixmap = Canvas(size, ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient strip(0, 0, size.width(), 0);
    strip.setColorAt(0.0, QColor(0x1d, 0x4a, 0x86));
    strip.setColorAt(1.0, QColor(0x34, 0x74, 0xbd));
    p.fillRect(QRect(QPoint(0, 0), size), strip);
    p.fillRect(QRectF(0, size.height() - 1.5, size.width(), 1.5), QColor(0x8e, 0xc3, 0xff));
    const qreal m = size.height() * 0.22;
    PaintMark(p, QRectF(m * 0.9, m, size.height() - 2 * m, size.height() - 2 * m));
    return pixmap;
}

QPixmap CloseMark(QSize size, qreal ratio) {
    QPixmap pixmap = Canvas(size, ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal arm = std::min(size.width(), size.height()) * 0.28;
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    p.setPen(QPen(QColor(255, 255, 255), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-arm, -arm), c + QPointF(arm, arm));
    p.drawLine(c + QPointF(-arm, arm), c + QPointF(arm, -arm));
    return pixmap;
}

} // namespace LoginArtwork
