#include "common/ShowMsg.h"

#include "Version.h"
#include "common/Platform.h"

namespace RDP_basPublic {

int ShowMsg(const QString& text, int style, const QString& title, const QString& /*helpFile*/,
            int /*helpContext*/, bool beep, QObject* owner) {
    if (beep) {
        rdp::platform().Beep();
    }
    return rdp::MsgBox(text, style, title, owner);
}

} // namespace RDP_basPublic

namespace rdp {

int MsgBox(const QString& text, int style, const QString& title, QObject* owner) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString caption = title.isEmpty() ? QString::fromUtf8(DisplayName) : title;
    return platform().MessageBox(shown, style, caption, owner);
}

int Warn(const QString& text, int style, QObject* owner) {
    return RDP_basPublic::ShowMsg(text, style, ConnectTitle(), {}, 0, true, owner);
}

} // namespace rdp
