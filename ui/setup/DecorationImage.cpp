#include "ui/setup/DecorationImage.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kDeep(0x1f, 0x5f, 0xa8);
const QColor kLight(0x5b, 0x9b, 0xe0);
const QColor kBackdrop(0xe8, 0xf1, 0xfb);

QLinearGradient Shade(const QRectF& r) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, kLight);
    g.setColorAt(1, kDeep);
    return g;
}

} // namespace

DecorationImage::DecorationImage(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::NoFocus);
}

void DecorationImage::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kBackdrop);
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 10, 10);
    if (kind_ == Kind::User) {
        PaintUser(p);
    } else {
        PaintComputer(p);
    }
}

void DecorationImage::PaintUser(QPainter& p) const {
    const QRectF head(17, 8, 14, 14);
    p.setBrush(Shade(head));
    p.drawEllipse(head);
    QPainterPath body;
    const QRectF shoulders(9, 25, 30, 26);
    body.moveTo(shoulders.left(), 40);
    body.arcTo(shoulders, 180, -180);
    body.lineTo(shoulders.right(), 40);
    body.closeSubpath();
    p.setBrush(Shade(QRectF(9, 25, 30, 15)));
    p.drawPath(body);
}

void DecorationImage::PaintComputer(QPainter& p) const {
    const QRectF screen(8, 9, 32, 22);
    p.setBrush(Shade(screen));
    p.drawRoundedRect(screen, 3, 3);
    p.setBrush(QColor(0xd6, 0xe8, 0xfa));
    p.drawRect(screen.adjusted(3, 3, -3, -3));
    p.setBrush(kDeep);
    p.drawRect(QRectF(21, 31, 6, 5));
    p.drawRoundedRect(QRectF(14, 36, 20, 3), 1.5, 1.5);
}
