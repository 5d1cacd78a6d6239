#include "ui/common/BusyLockWait.h"

#include "common/Platform.h"
#include "common/ShowMsg.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

namespace RDP_basUI {

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

} // namespace

BusyLockWait::BusyLockWait(QWidget* owner, std::chrono::milliseconds askAfter)
    : owner_(owner), askAfter_(askAfter), nextAsk_(askAfter) {}

BusyLockWait::~BusyLockWait() {
    SetBusy(false);
}

QString BusyLockWait::QuestionText(std::chrono::milliseconds waited) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(waited).count();
    return QStringLiteral("连接设置文件正被本程序的另一个副本保存，已等待 %1 秒。\r\n\r\n"
                          "是否继续等待？选“否”则这次不保存，窗口中的修改仍然保留。")
        .arg(seconds);
}

rdp::store::WaitChoice BusyLockWait::Pause(std::chrono::milliseconds waited) {
    if (waited >= nextAsk_) {
        SetBusy(false); // the question takes clicks and shows the usual cursor
        if (rdp::Warn(QuestionText(waited), rdp::MsgStyle::ExclamationYesNo, owner_.data()) !=
            rdp::MsgResult::Yes) {
            return rdp::store::WaitChoice::Cancel;
        }
        nextAsk_ = waited + askAfter_;
    }
    SetBusy(true);
    QEventLoop pause; // paints and runs timers; input is dropped by eventFilter
    QTimer::singleShot(20, &pause, &QEventLoop::quit);
    pause.exec();
    return rdp::store::WaitChoice::TryAgain;
}

void BusyLockWait::SetBusy(bool busy) {
    if (busy == busy_ || qApp == nullptr) {
        return;
    }
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
    }
}

bool BusyLockWait::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() == QEvent::Close) { // a window's close button: the window stays
        event->ignore();
        return true;
    }
    return IsUserInput(event->type());
}

} // namespace RDP_basUI
