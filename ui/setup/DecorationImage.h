#pragma once

#include <QWidget>

// The small pictures of the setup window's frames, drawn rather than loaded: a person beside
// the account fields, a computer beside the connection list.
class DecorationImage final : public QWidget {
    Q_OBJECT

public:
    enum class Kind { User, Computer };

    DecorationImage(Kind kind, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {48, 48}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintUser(QPainter& p) const;
    void PaintComputer(QPainter& p) const;

    Kind kind_;
};
