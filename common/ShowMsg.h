#pragma once

#include "common/Platform.h"

#include <QString>

class QObject;

namespace RDP_basPublic {

// The program's warnings and questions: beeps first when `beep` is true, then shows a
// modal message box. Returns the code of the button that closed it. The help file and
// help context are accepted and ignored (there are no help files).
int ShowMsg(const QString& text, int style = 0, const QString& title = {},
            const QString& helpFile = {}, int helpContext = 0, bool beep = false,
            QObject* owner = nullptr);

} // namespace RDP_basPublic

namespace rdp {

// The platform's message box called directly (no beep). An empty title is the program's
// display name. CR LF in the text becomes one line break.
int MsgBox(const QString& text, int style, const QString& title = {}, QObject* owner = nullptr);

// The title of every message of the program.
inline QString ConnectTitle() {
    return QStringLiteral("连接");
}

// The program's warning: a beep, then a modal box with the exclamation icon (or the style
// given) under ConnectTitle(), raised by `owner` (null: the active window). Returns the
// code of the button that closed it.
int Warn(const QString& text, int style = MsgStyle::Exclamation, QObject* owner = nullptr);

} // namespace rdp
