// The setup window's keys: Enter and the arrows walk through the fields; Enter never saves and
// Escape does nothing.
#include "ui/setup/RDP_frmSetup.h"

#include "ui/common/RDP_basUI.h"

#include <QApplication>
#include <QKeyEvent>

void RDP_frmSetup::Form_KeyDown(int& KeyCode, int Shift) {
    if (RDP_basUI::TabByKey(QApplication::focusWidget(), KeyCode, Shift)) {
        // The Tab has moved the focus; the control must not act on the key as well (buttons
        // and check boxes would move the focus a second time on an arrow).
        KeyCode = 0;
    }
}

// Sees each key press of this window at the focused control, before the control does.
bool RDP_frmSetup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this || widget != QApplication::focusWidget()) {
        return false; // another window's key, or the same key passed on to a parent
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    int code = RDP_basUI::VirtualKeyCode(key->key());
    if (code == 0) {
        return false;
    }
    Form_KeyDown(code, RDP_basUI::ShiftState(key->modifiers()));
    return code == 0;
}

// What the controls leave: QDialog would close on Escape and press a default button on Enter.
void RDP_frmSetup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
