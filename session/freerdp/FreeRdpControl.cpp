#include "session/freerdp/FreeRdpControl.h"

#include "session/freerdp/CertificateDialog.h"
#include "session/freerdp/FreeRdpSession.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

namespace rdp::freerdp {

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
    void sessionEnded(int reason) override {
        post([g = generation_, reason](FreeRdpControl& c) { c.onSessionEnded(g, reason); });
    }
    void sessionAsksCertificate(const CertificateQuestion& q, std::uint64_t ticket) override {
        post([g = generation_, q, ticket](FreeRdpControl& c) {
            c.onCertificateQuestion(g, q, ticket);
        });
    }
    void sessionCursorChanged(const RemoteCursor& cursor) override {
        post([g = generation_, cursor](FreeRdpControl& c) { c.onSessionCursor(g, cursor); });
    }
    void sessionCursorMoved(int x, int y) override {
        post([g = generation_, at = QPoint(x, y)](FreeRdpControl& c) {
            c.onSessionCursorMoved(g, at);
        });
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

void FreeRdpControl::setReconnectPolicy(int attempts, int delayMs) {
    settings_.reconnectAttempts = attempts;
    settings_.reconnectDelayMs = delayMs;
}

int FreeRdpControl::reconnectTries() const {
    return session_ ? session_->reconnectTries() : 0;
}

void FreeRdpControl::Connect() {
    if (connected_ != 0) {
        return;
    }
    session_.reset(); // an ended connection: its worker has finished
    ++generation_;
    loginCompleteRaised_ = false;
    connected_ = 2;
    emit OnConnecting();
    bridge_ = std::make_unique<Bridge>(*this, generation_);
    session_ = std::make_unique<FreeRdpSession>(*bridge_, frames_);
    if (settings_.redirectClipboard) {
        clipboard_.start();
        session_->setClipboard(&clipboard_);
    }
    session_->start(settings_);
    update();
}

void FreeRdpControl::Disconnect() {
    if (session_ && connected_ != 0) {
        session_->requestDisconnect();
    }
    closeQuestion();
}

void FreeRdpControl::onSessionConnected(unsigned generation) {
    if (generation != generation_ || connected_ != 2) {
        return;
    }
    connected_ = 1;
    emit OnConnected();
    sendEarlyKeys();
    update();
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
        update(frames_.takeChanged());
    }
}

void FreeRdpControl::onSessionEnded(unsigned generation, int reason) {
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
    emit OnDisconnected(reason);
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

void FreeRdpControl::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!frames_.hasFrame()) {
        painter.fillRect(rect(), palette().window());
        if (connected_ == 2 && !connectingText_.isEmpty()) {
            painter.drawText(rect(), Qt::AlignCenter, connectingText_);
        }
        return;
    }
    const QSize picture = frames_.paint(painter, event->region());
    const QRegion outside = event->region() - QRect(QPoint(0, 0), picture);
    for (const QRect& r : outside) {
        painter.fillRect(r, Qt::black);
    }
    if (connected_ == 1 && !loginCompleteRaised_) {
        // Servers that never send a logon notice: the first painted frame stands for it.
        const unsigned generation = generation_;
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == generation_) {
                raiseLoginComplete();
            }
        });
    }
}

} // namespace rdp::freerdp
