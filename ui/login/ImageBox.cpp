#include "ui/login/ImageBox.h"

#include "ui/common/RDP_basUI.h"

#include <QMouseEvent>
#include <QPainter>

int ButtonBits(Qt::MouseButtons buttons) {
    int bits = 0;
    if (buttons.testFlag(Qt::LeftButton)) {
        bits |= 1;
    }
    if (buttons.testFlag(Qt::RightButton)) {
        bits |= 2;
    }
    if (buttons.testFlag(Qt::MiddleButton)) {
        bits |= 4;
    }
    return bits;
}

void ImageBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void ImageBox::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.drawPixmap(rect(), picture_);
}

void ImageBox::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit MouseDown(ButtonBits(event->button()), RDP_basUI::ShiftState(event->modifiers()), p.x(),
                   p.y());
}

void ImageBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit MouseMove(ButtonBits(event->buttons()), RDP_basUI::ShiftState(event->modifiers()), p.x(),
                   p.y());
}

void ImageBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Click();
    }
}
