#include "ui/common/PasswordEcho.h"

#include <QApplication>
#include <QLineEdit>
#include <QProxyStyle>
#include <QStyleFactory>

namespace RDP_basUI {

namespace {

// The application's style with "*" as the password character. A style sheet would do the
// same, but a box with a style sheet takes the application's palette, not its window's.
class StarEchoStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return '*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void EchoStars(QLineEdit* box) {
    box->setEchoMode(QLineEdit::Password);
    // Over a style of the application's kind (the proxy owns it).
    auto* style = new StarEchoStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(box);
    box->setStyle(style);
}

} // namespace RDP_basUI
