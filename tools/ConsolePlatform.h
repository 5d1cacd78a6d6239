#pragma once

#include "common/Platform.h"

namespace rdp {

// The platform of the store tool: messages go to stderr (never a window) and are answered
// with the cautious button; nothing here needs a display.
class ConsolePlatform final : public Platform {
public:
    QString ProgramFolder() const override;
    QString SystemFolder() const override;
    int MessageBox(const QString& text, int style, const QString& title, QObject* owner) override;
    void Beep() override {}
    void EndProgram() override;
    ScreenMetrics Screen() const override { return {}; }
};

} // namespace rdp
