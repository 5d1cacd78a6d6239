#include "ui/login/RDP_frmLogin.h"

#include "common/Platform.h"
#include "common/Twips.h"
#include "profiles/RDP_ConnectPara.h"
#include "ui/common/RDP_basUI.h"
#include "ui/login/ImageBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

namespace {
constexpr int LeftButton = 1;
constexpr int RightButton = 2;
} // namespace

void RDP_frmLogin::imgTitle_MouseDown(int /*Button*/, int /*Shift*/, float X, float Y) {
    dragX_ = X;
    dragY_ = Y;
}

void RDP_frmLogin::imgTitle_MouseMove(int Button, int /*Shift*/, float X, float Y) {
    if (Button != LeftButton) {
        return;
    }
    const rdp::ScreenMetrics m = rdp::platform().Screen();
    const double left = x() * m.twipsPerPixelX + (X - dragX_);
    const double top = y() * m.twipsPerPixelY + (Y - dragY_);
    move(rdp::TwipsToPixels(left, m.twipsPerPixelX), rdp::TwipsToPixels(top, m.twipsPerPixelY));
}

void RDP_frmLogin::imgExit_Click() {
    cmdCancel_Click();
}

// A close request from the desktop (Alt+F4, a taskbar's close) leaves like "取消": the
// program ends at once and saves nothing, instead of running on without a window.
void RDP_frmLogin::closeEvent(QCloseEvent* event) {
    event->ignore();
    cmdCancel_Click();
}

void RDP_frmLogin::lbl_MouseDown(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button == RightButton) {
        lbl->setToolTip(lbl->property("Tag").toString());
    }
}

QString RDP_frmLogin::DiagnosticsText() const {
    const RDP_ConnectPara& list = gConnectPara();
    QString server;
    QString port;
    const int s = list.SelectIndex();
    if (s >= 1 && s <= list.Count()) {
        server = list.Item(s).Server();
        port = list.Item(s).Port();
    }
    // A saved password is never shown: only one the user typed in this window.
    const QString password = passwordFromStore_ ? QStringLiteral("******") : txtPassword->text();
    return server + QStringLiteral(" ; ") + port + QStringLiteral(" ; ") + password;
}

void RDP_frmLogin::Form_KeyDown(int& KeyCode, int Shift) {
    QWidget* focused = QApplication::focusWidget();
    if (focused == txtPassword && KeyCode == RDP_basUI::VirtualKey::Enter) {
        KeyCode = 0; // the box never sees the key
        cmdOk_Click();
        return;
    }
    if (RDP_basUI::TabByKey(focused, KeyCode, Shift)) {
        // The focus moves once: buttons would otherwise move it on an arrow themselves.
        KeyCode = 0;
        return;
    }
    if (KeyCode == RDP_basUI::VirtualKey::F12 && Shift == RDP_basUI::ShiftBits::Shift) {
        lbl->setVisible(true);
        lbl->setProperty("Tag", DiagnosticsText());
    }
}

// The window that has taken the keyboard over from this hidden one: a shown window with a
// control to type in (the session window, right after Enter).
static QWidget* KeyboardSuccessor(const QWidget* login) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != login && window->isVisible() && window->isWindow() &&
            window->focusWidget() != nullptr && !window->windowFlags().testFlag(Qt::Popup)) {
            return window->focusWidget();
        }
    }
    return nullptr;
}

// Keys typed right after Enter, still on their way to this window when it hid, go on to the
// window that took the keyboard over instead of into the hidden boxes.
bool RDP_frmLogin::PassKeyOn(QEvent* event) {
    if (QWidget* successor = KeyboardSuccessor(this)) {
        QCoreApplication::sendEvent(successor, event);
    }
    return true;
}

bool RDP_frmLogin::eventFilter(QObject* watched, QEvent* event) {
    const bool isKey = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (isKey && !isVisible()) {
        return PassKeyOn(event);
    }
    if (event->type() == QEvent::KeyPress) {
        if (!keyPressed_) {
            keyPressed_ = true;
            emit FirstKeyPress();
        }
        auto* key = static_cast<QKeyEvent*>(event);
        int code = RDP_basUI::VirtualKeyCode(key->key());
        if (code != 0) {
            Form_KeyDown(code, RDP_basUI::ShiftState(key->modifiers()));
            if (code == 0) {
                return true;
            }
        }
    } else if (watched == lbl && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF p = mouse->position();
        const rdp::ScreenMetrics m = rdp::platform().Screen();
        lbl_MouseDown(ButtonBits(mouse->button()), RDP_basUI::ShiftState(mouse->modifiers()),
                      static_cast<float>(p.x() * m.twipsPerPixelX),
                      static_cast<float>(p.y() * m.twipsPerPixelY));
    }
    return QWidget::eventFilter(watched, event);
}
