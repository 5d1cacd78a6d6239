#pragma once

#include <QPixmap>
#include <QWidget>

// An image control: paints its picture and reports presses, moves and clicks with the
// button state (1 left, 2 right, 4 middle), the shift state (1 Shift, 2 Ctrl, 4 Alt) and the
// pointer's position within the image in pixels.
class ImageBox final : public QWidget {
    Q_OBJECT

public:
    explicit ImageBox(QWidget* parent = nullptr) : QWidget(parent) {}

    void setPicture(const QPixmap& picture);

signals:
    void MouseDown(int button, int shift, int x, int y);
    void MouseMove(int buttons, int shift, int x, int y);
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
};

// The button bits of Qt's mouse buttons.
int ButtonBits(Qt::MouseButtons buttons);
