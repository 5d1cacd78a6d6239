#include "session/RDP_frmDesktop.h"

#include "common/LogCategories.h"
#include "common/Platform.h"
#include "common/ShowMsg.h"
#include "session/SessionMessages.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

namespace {
// The pause between a disconnection and the end of the program.
constexpr int ClosingDelayMs = 300;
} // namespace

void RDP_frmDesktop::SetStatus(std::int32_t code, std::int32_t reason) {
    QString text;
    switch (code) {
    case StatusConnecting:
        Status_ = StatusConnecting;
        picTips->show();
        text = rdp::LoggingOnText();
        Timer->stop();
        break;
    case StatusConnected:
        Status_ = StatusConnected;
        picTips->hide();
        Timer->stop();
        break;
    case StatusDisconnected:
        picTips->show();
        text = rdp::LoggingOffText();
        if (const QString message = rdp != nullptr ? rdp->GetErrorDescription(reason) : QString();
            !message.isEmpty()) {
            ShowMessage(message, rdp::MsgStyle::Critical, rdp::ConnectTitle());
        }
        Status_ = StatusClosing;
        Timer->start(ClosingDelayMs);
        break;
    case StatusLoggedIn:
        Status_ = StatusLoggedIn;
        break;
    case StatusClosing:
        Timer->stop();
        unInit();
        return;
    default:
        break;
    }
    if (!text.isEmpty()) {
        lblTips->setText(text);
        GrowLabel();
    }
}

// While a lost link is tried again the panel covers the frozen picture and counts the
// attempts; it goes when the link is back.
void RDP_frmDesktop::ShowReconnecting(bool on, int attempt, int of) {
    if (Status_ != StatusConnected && Status_ != StatusLoggedIn) {
        return;
    }
    picTips->setVisible(on);
    if (on) {
        lblTips->setText(rdp::ReconnectingText(attempt, of));
        GrowLabel();
    }
}

void RDP_frmDesktop::unInit() {
    if (ending_) {
        return;
    }
    ending_ = true;
    pending_.clear();
    if (Timer != nullptr) {
        Timer->stop();
    }
    if (rdp != nullptr && rdp->Connected() == 1) {
        rdp->Disconnect();
    }
    hide();
    rdp::platform().EndProgram();
}

// A message of this window: it belongs to the window, so that it opens above it, and
// whatever happens while it is open waits until it is closed.
int RDP_frmDesktop::ShowMessage(const QString& text, int style, const QString& title) {
    messageOpen_ = true;
    const int result = rdp::MsgBox(text, style, title, this);
    messageOpen_ = false;
    return result;
}

void RDP_frmDesktop::Dispatch(Pending p) {
    if (ending_) {
        return;
    }
    if (messageOpen_) {
        // Ticks that pile up behind an open message apply the same status: keep one.
        const bool repeatedTick = p.what == Happening::Tick && !pending_.empty() &&
                                  pending_.back().what == Happening::Tick;
        if (!repeatedTick) {
            pending_.push_back(p);
        }
        return;
    }
    Handle(p);
    DrainPending();
}

void RDP_frmDesktop::DrainPending() {
    while (!ending_ && !messageOpen_ && !pending_.empty()) {
        const Pending p = pending_.front();
        pending_.pop_front();
        Handle(p);
    }
}

void RDP_frmDesktop::Handle(Pending p) {
    if (p.what != Happening::Tick) {
        static constexpr const char* names[] = {"connecting",   "connected",    "logged on",
                                                "disconnected", "reconnecting", "reconnected",
                                                "tick",         "unload"};
        qCInfo(rdp::lcSession, "%s (%d, %d)", names[static_cast<int>(p.what)], p.reason, p.of);
    }
    switch (p.what) {
    case Happening::Connecting:
        if (Status_ != StatusLoggedIn) {
            SetStatus(StatusConnecting);
        }
        break;
    case Happening::Connected:
        SetStatus(StatusConnected);
        break;
    case Happening::LoginComplete:
        SetStatus(StatusLoggedIn);
        break;
    case Happening::Disconnected:
        SetStatus(StatusDisconnected, p.reason);
        break;
    case Happening::Reconnecting:
        ShowReconnecting(true, p.reason, p.of);
        break;
    case Happening::Reconnected:
        ShowReconnecting(false);
        break;
    case Happening::Tick:
        SetStatus(Status_, 0);
        break;
    case Happening::Unload:
        Form_Unload();
        break;
    }
}

void RDP_frmDesktop::rdp_OnConnecting() {
    Dispatch({Happening::Connecting, 0, 0});
}
void RDP_frmDesktop::rdp_OnConnected() {
    Dispatch({Happening::Connected, 0, 0});
}
void RDP_frmDesktop::rdp_OnLoginComplete() {
    Dispatch({Happening::LoginComplete, 0, 0});
}
void RDP_frmDesktop::rdp_OnDisconnected(int discReason) {
    Dispatch({Happening::Disconnected, discReason, 0});
}
void RDP_frmDesktop::rdp_OnAutoReconnecting(int attempt, int maxAttempts) {
    Dispatch({Happening::Reconnecting, attempt, maxAttempts});
}
void RDP_frmDesktop::rdp_OnAutoReconnected() {
    Dispatch({Happening::Reconnected, 0, 0});
}
void RDP_frmDesktop::Timer_Timer() {
    Dispatch({Happening::Tick, 0, 0});
}

void RDP_frmDesktop::rdp_OnConfirmClose(bool* allowClose) {
    if (allowClose != nullptr) {
        *allowClose = false;
    }
}

void RDP_frmDesktop::rdp_OnReceivedTSPublicKey(const QByteArray& /*publicKey*/,
                                               bool* continueLogon) {
    if (continueLogon != nullptr) {
        *continueLogon = false;
    }
}

// The close is never refused: it ends the program, after any open message is closed.
void RDP_frmDesktop::closeEvent(QCloseEvent* event) {
    event->setAccepted(!messageOpen_ || ending_);
    Dispatch({Happening::Unload, 0, 0});
}

void RDP_frmDesktop::Form_Unload() {
    unInit();
}
