#include "ui/common/RDP_basUI.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QStyle>
#include <QWidget>

namespace RDP_basUI {

int VirtualKeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VirtualKey::Enter;
    case Qt::Key_Escape:
        return VirtualKey::Escape;
    case Qt::Key_Up:
        return VirtualKey::Up;
    case Qt::Key_Down:
        return VirtualKey::Down;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    default:
        break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return 112 + (qtKey - Qt::Key_F1);
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) {
        return qtKey; // Qt uses the ASCII codes, as the virtual keys do
    }
    return 0;
}

int ShiftState(Qt::KeyboardModifiers modifiers) {
    int bits = 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        bits |= ShiftBits::Shift;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        bits |= ShiftBits::Ctrl;
    }
    if (modifiers.testFlag(Qt::AltModifier)) {
        bits |= ShiftBits::Alt;
    }
    return bits;
}

namespace {

void SendTab(QWidget* focused, bool forward) {
    QKeyEvent tab(QEvent::KeyPress, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                  forward ? Qt::NoModifier : Qt::ShiftModifier);
    QCoreApplication::sendEvent(focused->window(), &tab);
}

} // namespace

bool TabByKey(QWidget* focused, int keyCode, int /*shift*/) {
    if (focused == nullptr) {
        return false;
    }
    const bool dropDown = qobject_cast<QComboBox*>(focused) != nullptr;
    switch (keyCode) {
    case VirtualKey::Enter:
        SendTab(focused, true);
        return true;
    case VirtualKey::Down:
        if (dropDown) {
            return false;
        }
        SendTab(focused, true);
        return true;
    case VirtualKey::Up:
        if (dropDown) {
            return false;
        }
        SendTab(focused, false);
        return true;
    default:
        return false;
    }
}

bool IsFormLoaded(const QString& name) {
    const auto windows = QApplication::topLevelWidgets();
    for (const QWidget* w : windows) {
        if (w->objectName().compare(name, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

QFont DesignedFont() {
    QFont font(QStringLiteral("Noto Sans CJK SC"), 9);
    // Chinese and Latin text are laid out straight from the font's character map; Qt still
    // shapes the scripts that need it. The shaper's tables and code would cost a megabyte.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QFont BoldOfRegularFace(QFont font) {
    font.setStyleName(QStringLiteral("Regular")); // the face is picked by this name alone
    font.setBold(true);
    return font;
}

void KeepDesignedLook(QWidget* window) {
    window->setFont(DesignedFont());
    window->setPalette(window->style()->standardPalette());
}

} // namespace RDP_basUI
