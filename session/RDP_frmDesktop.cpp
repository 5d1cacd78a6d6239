#include "session/RDP_frmDesktop.h"

#include "common/Errors.h"
#include "common/LogCategories.h"
#include "common/Platform.h"
#include "common/ShowMsg.h"
#include "profiles/PortNumber.h"
#include "profiles/RDP_ConnectPara.h"
#include "session/DesktopGeometry.h"
#include "session/RdpControlFactory.h"
#include "session/SessionCodes.h"
#include "session/SessionMessages.h"
#include "session/SessionTarget.h"
#include "session/StatusPanel.h"

#include <QChildEvent>
#include <QLabel>
#include <QTimer>

RDP_frmDesktop::RDP_frmDesktop(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("RDP_frmDesktop"));
}

RDP_frmDesktop::~RDP_frmDesktop() = default;

// The selected profile, looked up afresh for every field read or written.
RDP_ConnectParaItems& RDP_frmDesktop::Profile() {
    const RDP_ConnectPara& list = gConnectPara();
    return list.Item(list.SelectIndex());
}

void RDP_frmDesktop::Init() {
    if (ending_) {
        return;
    }
    Load();
    setWindowTitle(Profile().ConnectName());
    SizeWindow();
    MakeTopmostAndShow();
    if (rdp->Connected() != 0) {
        ShowMessage(rdp::AlreadyLoggedOnText(), rdp::MsgStyle::OkOnly, QString());
        RunHeld();
        return;
    }
    SetUpConnection();
    SetUpOptions();
    qCInfo(rdp::lcSession) << "connecting" << Profile().ConnectName() << "to" << Profile().Server()
                           << Profile().Port();
    rdp->Connect();
}

// Creates the controls once: the control at the top-left corner, the status panel above it
// with its label, and the idle timer. Under them all a backdrop in the window's colour,
// filled by the X server, covers the window: where the control does not reach, Qt paints
// nothing into its window-sized buffer (a strip on every row would touch most of it).
void RDP_frmDesktop::Load() {
    if (loaded_) {
        return;
    }
    backdrop_ = new StatusPanel(this);
    backdrop_->setObjectName(QStringLiteral("backdrop"));
    backdrop_->setAttribute(Qt::WA_TransparentForMouseEvents);
    backdrop_->setGeometry(rect());
    rdp = rdp::CreateRdpControl(this);
    rdp->setObjectName(QStringLiteral("rdp"));
    ApplyDesignedSize();

    picTips = new StatusPanel(this);
    picTips->setObjectName(QStringLiteral("picTips"));
    lblTips = new QLabel(rdp::LoggingOnText(), picTips);
    lblTips->setObjectName(QStringLiteral("lblTips"));
    GrowLabel();
    picTips->raise();

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));

    connect(rdp, &RdpClientControl::OnConnecting, this, &RDP_frmDesktop::rdp_OnConnecting);
    connect(rdp, &RdpClientControl::OnConnected, this, &RDP_frmDesktop::rdp_OnConnected);
    connect(rdp, &RdpClientControl::OnLoginComplete, this, &RDP_frmDesktop::rdp_OnLoginComplete);
    connect(rdp, &RdpClientControl::OnDisconnected, this, &RDP_frmDesktop::rdp_OnDisconnected);
    connect(rdp, &RdpClientControl::OnAutoReconnecting, this,
            &RDP_frmDesktop::rdp_OnAutoReconnecting);
    connect(rdp, &RdpClientControl::OnAutoReconnected, this,
            &RDP_frmDesktop::rdp_OnAutoReconnected);
    connect(rdp, &RdpClientControl::OnConfirmClose, this, &RDP_frmDesktop::rdp_OnConfirmClose);
    connect(rdp, &RdpClientControl::OnReceivedTSPublicKey, this,
            &RDP_frmDesktop::rdp_OnReceivedTSPublicKey);
    connect(Timer, &QTimer::timeout, this, &RDP_frmDesktop::Timer_Timer);
    loaded_ = true;
}

// The window's size from the profile's desktop size code; codes outside 0 to 4 keep the
// window as it is. Every size change runs the resize handling at once.
void RDP_frmDesktop::SizeWindow() {
    const std::optional<rdp::WindowSizing> sizing =
        rdp::PlanWindowSizing(Profile().DesktopSize(), rdp::platform().Screen());
    if (sizing) {
        setWindowState(windowState() &
                       ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
        Profile().setWidth(sizing->profileWidth);
        Profile().setHeight(sizing->profileHeight);
        SetOuterWidth(sizing->window.width);
        SetOuterHeight(sizing->window.height);
    }
    if (!placed_) {
        PlaceForOpening(sizing && sizing->atScreenCorner);
    }
}

// Keeps the window above the others without moving or sizing it, then shows it.
void RDP_frmDesktop::MakeTopmostAndShow() {
    if (!windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        const QPoint pos = this->pos();
        const QSize size = this->size();
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (this->pos() != pos) {
            move(pos);
        }
        if (this->size() != size) {
            resize(size);
        }
    }
    show();
    FitFrame();
    TakeKeyboard();
}

// The session gets the keys from the moment the window shows, also where no window manager
// hands the focus to a new window.
void RDP_frmDesktop::TakeKeyboard() {
    activateWindow();
    rdp->setFocus(Qt::ActiveWindowFocusReason);
}

// A window of the session (the certificate question, a message) that closes gives the keys
// back to the session: on a display without a window manager nobody else would.
void RDP_frmDesktop::childEvent(QChildEvent* event) {
    QWidget::childEvent(event);
    QObject* child = event->child();
    if (event->polished() && child->isWidgetType() && static_cast<QWidget*>(child)->isWindow()) {
        child->installEventFilter(this);
    }
}

bool RDP_frmDesktop::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && isVisible() && !ending_) {
        QTimer::singleShot(0, this, &RDP_frmDesktop::TakeKeyboard);
    }
    return QWidget::eventFilter(watched, event);
}

// Where and as whom the control connects.
void RDP_frmDesktop::SetUpConnection() {
    rdp->setConnectingText(rdp::ConnectingText());
    rdp->setServer(Profile().Server());
    const std::optional<std::int32_t> port = rdp::PortNumber(Profile().Port());
    if (!port) {
        throw rdp::Error(rdp::ErrorNumber::TypeMismatch, QStringLiteral("类型不匹配"));
    }
    rdp->setRDPPort(*port);
    rdp->setFullScreenTitle(QStringLiteral("ab"));
    rdp->setFullScreen(false);
    rdp->setContainerLeft(0);
    rdp->setContainerTop(0);
    const rdp::DesktopPixels desktop =
        rdp::PlanDesktopPixels(Profile().DesktopSize(), Profile().Width(), Profile().Height());
    rdp->setDesktopWidth(desktop.width);
    rdp->setDesktopHeight(desktop.height);
    rdp->setUserName(Profile().UserName());
    rdp->setSmoothScroll(0);
    rdp->setClearTextPassword(Profile().Password());
}

// Colour, redirections, caching, compression, reconnection and sound. The clipboard
// follows the smart-card flag, which the setup window captions "剪贴板".
void RDP_frmDesktop::SetUpOptions() {
    if (const std::optional<std::int32_t> bits = rdp::ColorDepthBits(Profile().ColorDepth())) {
        rdp->setColorDepth(*bits);
    }
    rdp->setRedirectDrives(Profile().RedirectDrives() != 0);
    rdp->setRedirectPrinters(Profile().RedirectPrint() != 0);
    rdp->setRedirectPorts(Profile().RedirectPorts() != 0);
    rdp->setRedirectSmartCards(Profile().SmartCards() != 0);
    rdp->setRedirectClipboard(Profile().SmartCards() != 0);
    rdp->setBitmapPeristence(Profile().BitmapPeristence() != 0 ? 1 : 0);
    rdp->setCompress(1);
    rdp->setEnableAutoReconnect(Profile().CanAutoReconnect() != 0);
    if (const std::optional<std::int32_t> mode = rdp::AudioRedirectionMode(Profile().AudioMode())) {
        rdp->setAudioRedirectionMode(*mode);
    }
}
