#pragma once

#include "common/Platform.h"

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
    ScreenMetrics Screen() const override;
};

} // namespace rdp
