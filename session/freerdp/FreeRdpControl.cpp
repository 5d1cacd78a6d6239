#include "session/freerdp/FreeRdpControl.h"

#include "common/PhaseStamps.h"
#include "session/freerdp/CertificateDialog.h"
#include "session/freerdp/DisplayScale.h"
#include "session/freerdp/FreeRdpSession.h"
#include "session/freerdp/ScreenBlit.h"

#include <QTimer>

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

    void sessionConnected() override {
        post([g = generation_](FreeRdpControl& c) { c.onSessionConnected(g); });
    }
    void sessionLoginComplete() override {
        post([g = generation_](FreeRdpControl& c) { c.onSessionLoginComplete(g); });
    }
    void sessionFrameReady() override {
        post([g = generation_](FreeRdpControl& c) { c.onSessionFrame(g); });
    }
    void sessionEnded(int reason, const QString& message) override {
        post([g = generation_, reason, message](FreeRdpControl& c) {
            c.onSessionEnded(g, reason, message);
        });
    }
    void sessionReconnecting(int attempt, int of) override {
        post([g = generation_, attempt, of](FreeRdpControl& c) {
            c.onSessionReconnecting(g, attempt, of);
        });
    }
    void sessionReconnected() override {
        post([g = generation_](FreeRdpControl& c) { c.onSessionReconnected(g); });
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
    if (connected_ != 0) {
        return;
    }
    session_.reset(); // an ended connection: its worker has finished
    frames_.clear();  // nothing of the last connection's desktop is shown again
    ++generation_;
    loginCompleteRaised_ = false;
    paintedOnce_ = false;
    StampPhase("connect");
    connected_ = 2;
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
    if (session_ && connected_ != 0) {
        session_->requestDisconnect();
        session_->waitEnded(kDisconnectWaitMs);
    }
}

QSize FreeRdpControl::RefusedDesktopSize() const {
    return session_ ? session_->refusedDesktop() : QSize();
}

void FreeRdpControl::onSessionConnected(unsigned generation) {
    if (generation != generation_ || connected_ != 2) {
        return;
    }
    connected_ = 1;
    sendLockKeys();
    emit OnConnected();
    sendEarlyKeys();
    update();
}

void FreeRdpControl::onSessionReconnecting(unsigned generation, int attempt, int of) {
    if (generation == generation_ && connected_ == 1) {
        ++reconnectTries_;
        emit OnAutoReconnecting(attempt, of);
    }
}

void FreeRdpControl::onSessionReconnected(unsigned generation) {
    if (generation == generation_ && connected_ == 1) {
        sendLockKeys();
        emit OnAutoReconnected();
    }
}

void FreeRdpControl::onSessionLoginComplete(unsigned generation) {
    if (generation == generation_) {
        raiseLoginComplete();
    }
}

void FreeRdpControl::raiseLoginComplete() {
    if (connected_ == 1 && !loginCompleteRaised_) {
        loginCompleteRaised_ = true;
        emit OnLoginComplete();
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

void FreeRdpControl::onSessionEnded(unsigned generation, int reason, const QString& message) {
    if (generation != generation_ || connected_ == 0) {
        return;
    }
    closeQuestion();
    clipboard_.stop();
    unsetCursor();
    heldKeys_.clear();
    earlyKeys_.clear();
    heldButtons_ = {};
    connected_ = 0;
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
