// Opening and closing the setup window: its own modal loop, which outlives hiding the window.
#include "ui/setup/RDP_frmSetup.h"

#include "common/Platform.h"
#include "common/ShowMsg.h"
#include "common/Twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QPointer>
#include <QTabWidget>

RDP_frmSetup::~RDP_frmSetup() {
    if (loop_ != nullptr) {
        loop_->exit();
    }
}

void RDP_frmSetup::Init() {
    FillLists();
    ShowModal();
    if (loop_ != nullptr) {
        return; // already running: shown again, the running loop goes on
    }
    const QPointer<RDP_frmSetup> alive(this);
    QEventLoop loop;
    loop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    if (alive) {
        loop_ = nullptr;
    }
}

// Shows the window modal for every other window; the first time centred on the screen.
void RDP_frmSetup::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    if (!placed_) {
        placed_ = true;
        centring_ = true;
        CentreOnScreen();
        tabs_->setCurrentIndex(0);
    }
    show();
    raise();
    activateWindow();
    cmbClient_->setFocus(Qt::OtherFocusReason);
}

// Centred by the window's outer size, title bar and frame included. The desktop frames the
// window only once it is shown: until then the client area stands in for the outer size.
void RDP_frmSetup::CentreOnScreen() {
    const rdp::ScreenMetrics screen = rdp::platform().Screen();
    const int screenWidth = rdp::TwipsToPixels(screen.widthTwips, screen.twipsPerPixelX);
    const int screenHeight = rdp::TwipsToPixels(screen.heightTwips, screen.twipsPerPixelY);
    const QSize outer = frameGeometry().size();
    move((screenWidth - outer.width()) / 2, (screenHeight - outer.height()) / 2);
}

// The move that comes with the desktop's frame centres the window again, by its frame.
void RDP_frmSetup::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (centring_ && frameGeometry().size() != size()) {
        centring_ = false;
        CentreOnScreen();
    }
}

// Ends the window's life: hidden, and Init() returns.
void RDP_frmSetup::Unload() {
    hide();
    if (loop_ != nullptr) {
        loop_->exit();
    }
}

// The title bar's close button cancels.
void RDP_frmSetup::closeEvent(QCloseEvent* event) {
    event->ignore();
    cmdCancel_Click();
}

void RDP_frmSetup::ShowError(const QString& description) {
    rdp::Warn(description, rdp::MsgStyle::Exclamation, this);
}
