#include "ui/common/FocusReturn.h"

#include <QApplication>

namespace RDP_basUI {

FocusReturn::FocusReturn(QWidget* window)
    : control_(window != nullptr ? window->focusWidget() : QApplication::focusWidget()) {}

FocusReturn::~FocusReturn() {
    if (control_ == nullptr) {
        return;
    }
    QWidget* window = control_->window();
    if (!window->isVisible() || !control_->isVisible()) {
        return;
    }
    window->activateWindow();
    control_->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace RDP_basUI
