#pragma once

#include <QWidget>

// The session window's status panel: a plain area in the window's colour under its label;
// also the window's backdrop under all its controls. On X11 the panel is a window of its
// own that the X server fills with that colour, so that the window-sized panel costs no
// window-sized part of Qt's buffer; only the label (which fills its own background) is
// drawn by Qt. Elsewhere Qt fills the panel.
class StatusPanel final : public QWidget {
    Q_OBJECT

public:
    explicit StatusPanel(QWidget* parent);

protected:
    QPaintEngine* paintEngine() const override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void fillByServer();

    bool byServer_ = false;
};
