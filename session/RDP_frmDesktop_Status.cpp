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
    held_.clear();
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

// Runs a status step, or holds it while a message of this window is open: no other status
// handling runs then, and what came meanwhile runs in its order once the message is closed.
void RDP_frmDesktop::Step(std::function<void()> step, bool tick) {
    if (ending_) {
        return;
    }
    if (messageOpen_) {
        // Ticks that pile up behind an open message apply the same status: keep one.
        if (!tick || held_.empty() || !held_.back().first) {
            held_.emplace_back(tick, std::move(step));
        }
        return;
    }
    step();
    RunHeld();
}

void RDP_frmDesktop::RunHeld() {
    while (!ending_ && !messageOpen_ && !held_.empty()) {
        const std::function<void()> next = std::move(held_.front().second);
        held_.pop_front();
        next();
    }
}

void RDP_frmDesktop::rdp_OnConnecting() {
    Step([this] {
        qCInfo(rdp::lcSession, "connecting");
        if (Status_ != StatusLoggedIn) {
            SetStatus(StatusConnecting);
        }
    });
}
void RDP_frmDesktop::rdp_OnConnected() {
    Step([this] {
        qCInfo(rdp::lcSession, "connected");
        SetStatus(StatusConnected);
    });
}
void RDP_frmDesktop::rdp_OnLoginComplete() {
    Step([this] {
        qCInfo(rdp::lcSession, "logged on");
        SetStatus(StatusLoggedIn);
    });
}
void RDP_frmDesktop::rdp_OnDisconnected(int discReason) {
    Step([this, discReason] {
        qCInfo(rdp::lcSession, "disconnected (%d)", discReason);
        SetStatus(StatusDisconnected, discReason);
    });
}
void RDP_frmDesktop::rdp_OnAutoReconnecting(int attempt, int maxAttempts) {
    Step([this, attempt, maxAttempts] {
        qCInfo(rdp::lcSession, "reconnecting (%d, %d)", attempt, maxAttempts);
        ShowReconnecting(true, attempt, maxAttempts);
    });
}
void RDP_frmDesktop::rdp_OnAutoReconnected() {
    Step([this] {
        qCInfo(rdp::lcSession, "reconnected");
        ShowReconnecting(false);
    });
}
void RDP_frmDesktop::Timer_Timer() {
    Step([this] { SetStatus(Status_, 0); }, true);
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
    Step([this] {
        qCInfo(rdp::lcSession, "unload");
        Form_Unload();
    });
}

void RDP_frmDesktop::Form_Unload() {
    unInit();
}
