#pragma once

#include "common/Platform.h"

#include <QPointer>
#include <QWidget>

namespace rdp {

// The platform seam on Qt Widgets: QMessageBox, QApplication::beep, QScreen, and the end
// of the process.
class QtPlatform final : public Platform {
public:
    QString ProgramFolder() const override;
    QString SystemFolder() const override;
    int MessageBox(const QString& text, int style, const QString& title, QObject* owner) override;
    void Beep() override;
    [[noreturn]] void EndProgram() override;
    // The monitor that `window` is on (the primary one while it has none).
    ScreenMetrics Screen() const override;

    // The window whose monitor answers every screen question: the login window.
    void setScreenWindow(QWidget* window) { screenWindow_ = window; }

private:
    QPointer<QWidget> screenWindow_;
};

} // namespace rdp
