#include "ui/common/PasswordEcho.h"

#include <QLineEdit>

namespace RDP_basUI {

void EchoStars(QLineEdit* box) {
    box->setEchoMode(QLineEdit::Password);
    // The echo character is a style hint; a style sheet property overrides it for this box
    // alone and leaves its look to the application's style.
    box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

} // namespace RDP_basUI
