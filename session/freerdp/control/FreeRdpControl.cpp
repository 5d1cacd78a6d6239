#include "session/freerdp/control/FreeRdpControl.h"

#include "common/PhaseStamps.h"
#include "session/freerdp/control/CertificateDialog.h"
#include "session/freerdp/control/DisplayScale.h"
#include "session/freerdp/control/ScreenBlit.h"
#include "session/freerdp/link/FreeRdpSession.h"

#include <QTimer>

#include <malloc.h>

#include <utility>

namespace rdp::freerdp {

namespace {
// How long closing a connected session may wait for the server to be told.
constexpr int kDisconnectWaitMs = 2000;
} // namespace

// Forwards the session's calls from the library's threads to the control on the GUI
// thread. Each call carries the number of the connection it belongs to, so that a late
// call of an earlier connection is dropped.
class FreeRdpControl::Bridge final : public SessionListener {
public:
    Bridge(FreeRdpControl& control, unsigned generation)
        : control_(control), generation_(generation) {}

    void sessionMoved(const SessionNotice& notice) override {
        post([g = generation_, notice](FreeRdpControl& c) { c.onSessionMoved(g, notice); });
    }
    void sessionLoginComplete() override {
        post([g = generation_](FreeRdpControl& c) { c.onSessionLoginComplete(g); });
    }
    void sessionFrameReady() override {
        post([g = generation_](FreeRdpControl& c) { c.onSessionFrame(g); });
    }
    void sessionAsksCertificate(const CertificateQuestion& q, std::uint64_t ticket) override {
        post([g = generation_, q, ticket](FreeRdpControl& c) {
            c.onCertificateQuestion(g, q, ticket);
        });
    }
    void sessionPointerChanged() override {
        post([g = generation_](FreeRdpControl& c) { c.onSessionPointer(g); });
    }

private:
    template <typename F> void post(F f) {
        FreeRdpControl* c = &control_;
        QMetaObject::invokeMethod(
            c, [c, f] { f(*c); }, Qt::QueuedConnection);
    }

    FreeRdpControl& control_;
    unsigned generation_;
};

FreeRdpControl::FreeRdpControl(QWidget* parent) : RdpClientControl(parent) {
    setObjectName(QStringLiteral("rdp"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    createScrollBars();
    paintOnScreenWhenPossible();
}

FreeRdpControl::~FreeRdpControl() {
    closeQuestion();
    session_.reset();
    bridge_.reset();
}

void FreeRdpControl::setConnectingText(const QString& text) {
    connectingText_ = text;
    update();
}

void FreeRdpControl::setReconnectPolicy(int attempts, int spanMs) {
    settings_.reconnectAttempts = attempts;
    settings_.reconnectSpanMs = spanMs;
}

void FreeRdpControl::Connect() {
    if (seen_ != SessionState::Ended) {
        return;
    }
    session_.reset(); // an ended connection: its worker has finished
    frames_.clear();  // nothing of the last connection's desktop is shown again
    ++generation_;
    loginCompleteRaised_ = false;
    seen_ = SessionState::Idle; // the new session's, until it tells another
    paintedOnce_ = false;
    StampPhase("connect");
    emit OnConnecting();
    bridge_ = std::make_unique<Bridge>(*this, generation_);
    session_ = std::make_unique<FreeRdpSession>(*bridge_, frames_);
    if (settings_.redirectClipboard) {
        clipboard_.start();
        session_->setClipboard(&clipboard_);
    }
    session_->start(scaledRequest());
    layoutScrollBars();
    update();
}

// The settings as the server gets them: on a scaled screen the desktop in device pixels with
// the screen's scale factors, so that the picture is drawn 1:1 and stays sharp.
ControlSettings FreeRdpControl::scaledRequest() {
    ControlSettings request = settings_;
    requested_ = DevicePixels(QSize(settings_.desktopWidth, settings_.desktopHeight), ratio());
    request.desktopWidth = requested_.width();
    request.desktopHeight = requested_.height();
    const ScaleFactors factors = ScaleFactorsFor(ratio());
    request.desktopScaleFactor = factors.desktop;
    request.deviceScaleFactor = factors.device;
    return request;
}

// Asks the session to end and waits (briefly) until the server has been told, so that a
// program ending right after this call does not leave the session to time out.
void FreeRdpControl::Disconnect() {
    closeQuestion();
    if (session_ && seen_ != SessionState::Ended) {
        session_->requestDisconnect();
        session_->waitEnded(kDisconnectWaitMs);
    }
}

QSize FreeRdpControl::RefusedDesktopSize() const {
    return session_ ? session_->refusedDesktop() : QSize();
}

// 0 no session, 1 connected (a lost link being tried again included), 2 connecting.
std::int16_t FreeRdpControl::Connected() const {
    if (seen_ == SessionState::Ended) {
        return 0;
    }
    return connecting() ? 2 : 1;
}

// The session's state as its last notice told it, and the events that step stands for.
void FreeRdpControl::onSessionMoved(unsigned generation, const SessionNotice& notice) {
    if (generation != generation_ || seen_ == SessionState::Ended) {
        return;
    }
    const SessionState before = std::exchange(seen_, notice.state);
    switch (notice.state) {
    case SessionState::Connected:
        if (before == SessionState::Idle) {
            onSessionConnected();
        } else {
            onSessionReconnected();
        }
        break;
    case SessionState::LinkLost:
        ++reconnectTries_;
        emit OnAutoReconnecting(notice.attempt, notice.of);
        break;
    case SessionState::Ended:
        onSessionEnded(notice.reason, notice.message);
        break;
    default:
        break;
    }
}

void FreeRdpControl::onSessionConnected() {
    sendLockKeys();
    emit OnConnected();
    sendEarlyKeys();
    update();
}

void FreeRdpControl::onSessionReconnected() {
    sendLockKeys();
    emit OnAutoReconnected();
}

void FreeRdpControl::onSessionLoginComplete(unsigned generation) {
    if (generation == generation_) {
        raiseLoginComplete();
    }
}

void FreeRdpControl::raiseLoginComplete() {
    if (established() && !loginCompleteRaised_) {
        loginCompleteRaised_ = true;
        emit OnLoginComplete();
        // The session is set up: what the login window and the handshake freed goes back to
        // the system rather than waiting in the allocator.
        malloc_trim(0);
    }
}

void FreeRdpControl::onSessionFrame(unsigned generation) {
    if (generation == generation_) {
        const QRegion changed = frames_.takeChanged();
        if (desktopSize() != barsLaidOutFor_) {
            layoutScrollBars(); // the server sent a new desktop size
        }
        update(ScaledCover(changed.translated(-scrollOffset()), 1 / ratio()));
    }
}

void FreeRdpControl::onSessionEnded(int reason, const QString& message) {
    closeQuestion();
    clipboard_.stop();
    unsetCursor();
    heldKeys_.clear();
    earlyKeys_.clear();
    heldButtons_ = {};
    endReason_ = reason;
    endMessage_ = message;
    emit OnDisconnected(reason);
}

// The session knew why it ended; the reason alone says less.
QString FreeRdpControl::GetErrorDescription(int discReason) const {
    return discReason == endReason_ ? endMessage_
                                    : RdpClientControl::GetErrorDescription(discReason);
}

void FreeRdpControl::onCertificateQuestion(unsigned generation, const CertificateQuestion& question,
                                           std::uint64_t ticket) {
    if (generation != generation_ || !session_) {
        return;
    }
    QPointer<FreeRdpControl> self(this);
    CertificateReply reply = [self, generation, ticket](CertificateAnswer answer) {
        if (self && self->generation_ == generation && self->session_) {
            self->session_->answerCertificate(ticket, answer);
        }
    };
    const CertificateAsker ask = asker_ ? asker_ : CertificateAsker(&CertificateDialog::Ask);
    question_ = ask(window(), question, std::move(reply));
}

void FreeRdpControl::closeQuestion() {
    if (QWidget* q = question_.data()) {
        question_ = nullptr;
        q->close();
    }
}

} // namespace rdp::freerdp
