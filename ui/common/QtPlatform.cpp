#include "ui/common/QtPlatform.h"

#include "common/DefaultFolders.h"
#include "ui/common/FocusReturn.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

namespace rdp {

QString QtPlatform::ProgramFolder() const {
    return ProgramFolderOf(QCoreApplication::applicationDirPath());
}

QString QtPlatform::SystemFolder() const {
    return DefaultSystemFolder();
}

namespace {

QMessageBox::Icon IconOf(int style) {
    switch (style & 0xF0) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The buttons of a style. Closing the box through the desktop (its title bar, Alt+F4) or
// Escape answers with the escape button: OK, Cancel, or No.
void AddButtons(QMessageBox& box, int style) {
    switch (style & 0x0F) {
    case 1:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case 4:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    }
    // Chinese captions whatever the system's Qt translations.
    const struct {
        QMessageBox::StandardButton button;
        const char* text;
    } captions[] = {{QMessageBox::Ok, "确定"},
                    {QMessageBox::Cancel, "取消"},
                    {QMessageBox::Yes, "是(&Y)"},
                    {QMessageBox::No, "否(&N)"}};
    for (const auto& c : captions) {
        if (QAbstractButton* b = box.button(c.button)) {
            b->setText(QString::fromUtf8(c.text));
        }
    }
}

int ResultOf(int clicked) {
    switch (clicked) {
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        return MsgResult::Ok;
    }
}

} // namespace

int QtPlatform::MessageBox(const QString& text, int style, const QString& title, QObject* owner) {
    QWidget* parent = qobject_cast<QWidget*>(owner);
    if (parent == nullptr) {
        parent = QApplication::activeWindow();
    }
    // The keyboard goes back to the box the user was typing in when the message closes.
    const RDP_basUI::FocusReturn focusReturn;
    QMessageBox box(IconOf(style), title, text, QMessageBox::NoButton, parent);
    AddButtons(box, style);
    if (parent != nullptr && parent->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    return ResultOf(box.exec());
}

void QtPlatform::Beep() {
    QApplication::beep();
}

void QtPlatform::EndProgram() {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(0);
}

ScreenMetrics QtPlatform::Screen() const {
    ScreenMetrics m;
    const QScreen* screen = screenWindow_ ? screenWindow_->screen() : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return m;
    }
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    m.twipsPerPixelX = dpiX > 0 ? 1440.0 / dpiX : 15.0;
    m.twipsPerPixelY = dpiY > 0 ? 1440.0 / dpiY : 15.0;
    const QRect whole = screen->geometry();
    const QRect work = screen->availableGeometry();
    m.widthTwips = whole.width() * m.twipsPerPixelX;
    m.heightTwips = whole.height() * m.twipsPerPixelY;
    m.leftTwips = whole.left() * m.twipsPerPixelX;
    m.topTwips = whole.top() * m.twipsPerPixelY;
    m.workLeftTwips = work.left() * m.twipsPerPixelX;
    m.workTopTwips = work.top() * m.twipsPerPixelY;
    m.workWidthTwips = work.width() * m.twipsPerPixelX;
    m.workHeightTwips = work.height() * m.twipsPerPixelY;
    return m;
}

} // namespace rdp
