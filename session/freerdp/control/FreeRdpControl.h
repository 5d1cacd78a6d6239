#pragma once

// session/freerdp/: the Remote Desktop control on FreeRDP 2: the control on the GUI thread,
// the session and its worker thread, the picture, input, clipboard and devices.

#include "session/RdpClientControl.h"
#include "session/freerdp/handoff/CertificateQuestion.h"
#include "session/freerdp/handoff/ClipboardBridge.h"
#include "session/freerdp/handoff/FrameStore.h"
#include "session/freerdp/handoff/InputQueue.h"
#include "session/freerdp/handoff/RemoteCursor.h"
#include "session/freerdp/link/ControlSettings.h"
#include "session/freerdp/link/SessionState.h"

#include <QPointer>

class QScrollBar;

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

namespace rdp::freerdp {

class FreeRdpSession;
class ScreenBlit;
struct InputEvent;
struct SessionNotice;

// The Remote Desktop control on FreeRDP: keeps the properties until Connect, runs the
// session on a worker thread, paints the remote screen and forwards keyboard and mouse.
// Every event reaches the session window on the GUI thread.
class FreeRdpControl final : public RdpClientControl {
    Q_OBJECT

public:
    explicit FreeRdpControl(QWidget* parent = nullptr);
    ~FreeRdpControl() override;

    std::int16_t Connected() const override;

    void setConnectingText(const QString& text) override;
    void setServer(const QString& server) override { settings_.server = server; }
    void setRDPPort(std::int32_t port) override { settings_.port = port; }
    void setFullScreenTitle(const QString& title) override { fullScreenTitle_ = title; }
    void setFullScreen(bool on) override { fullScreen_ = on; }
    void setDesktopWidth(std::int32_t pixels) override { settings_.desktopWidth = pixels; }
    void setDesktopHeight(std::int32_t pixels) override { settings_.desktopHeight = pixels; }
    void setUserName(const QString& user) override { settings_.userName = user; }
    void setColorDepth(std::int32_t bits) override { settings_.colorDepth = bits; }
    void setSmoothScroll(std::int32_t value) override { smoothScroll_ = value; }
    void setClearTextPassword(const QString& password) override { settings_.password = password; }
    void setRedirectDrives(bool on) override { settings_.redirectDrives = on; }
    void setRedirectPrinters(bool on) override { settings_.redirectPrinters = on; }
    void setRedirectPorts(bool on) override { settings_.redirectPorts = on; }
    void setRedirectSmartCards(bool on) override { settings_.redirectSmartCards = on; }
    void setRedirectClipboard(bool on) override { settings_.redirectClipboard = on; }
    void setBitmapPeristence(std::int32_t value) override {
        settings_.bitmapPersistence = value != 0;
    }
    void setCompress(std::int32_t value) override { settings_.compress = value != 0; }
    void setEnableAutoReconnect(bool on) override { settings_.autoReconnect = on; }
    void setAudioRedirectionMode(std::int32_t mode) override { settings_.audioMode = mode; }

    void Connect() override;
    void Disconnect() override;
    QSize RefusedDesktopSize() const override;
    QString GetErrorDescription(int discReason) const override;

    // Not published: the FreeRDP configuration folder (known_hosts2), the time an
    // unanswered connection may take, and how a lost session is tried again.
    void setConfigPath(const QString& path) { settings_.configPath = path; }
    void setConnectTimeout(int milliseconds) { settings_.connectTimeoutMs = milliseconds; }
    // `attempts` reconnection attempts, the last one `spanMs` after the loss.
    void setReconnectPolicy(int attempts, int spanMs);
    // Replaces the certificate dialog (tests answer the question themselves).
    void setCertificateAsker(CertificateAsker asker) { asker_ = std::move(asker); }

    const ControlSettings& settings() const { return settings_; }
    QImage picture() const { return frames_.snapshot(); }
    bool hasPicture() const { return frames_.hasFrame(); }
    // How many reconnection attempts this control's sessions began.
    int reconnectTries() const { return reconnectTries_; }
    // The clipboard's side of this control (redirected while connected when allowed).
    ClipboardBridge& clipboard() { return clipboard_; }

protected:
    QPaintEngine* paintEngine() const override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Bridge;

    void onSessionMoved(unsigned generation, const SessionNotice& notice);
    void onSessionConnected();
    void onSessionReconnected();
    void onSessionLoginComplete(unsigned generation);
    void onSessionFrame(unsigned generation);
    void onSessionEnded(int reason, const QString& message);
    void onCertificateQuestion(unsigned generation, const CertificateQuestion& question,
                               std::uint64_t ticket);
    void onSessionPointer(unsigned generation);
    void onSessionCursor(unsigned generation, const RemoteCursor& cursor);
    void onSessionCursorMoved(unsigned generation, QPoint at);
    void raiseLoginComplete();
    ControlSettings scaledRequest();
    void closeQuestion();
    // Painting (FreeRdpControlPaint.cpp): on X11 straight from the picture's shared pixels
    // into the control's own window, elsewhere (and for grab()) through QPainter.
    void paintOnScreenWhenPossible();
    bool paintOnScreen(const QRegion& logicalRegion);
    QRect putConnectingText(const QRect& desktop);
    void paintWithPainter(const QRegion& region);
    void raiseLoginCompleteOnFirstFrame();
    void send(const InputEvent& event);
    void sendEarlyKeys();
    void sendKey(QKeyEvent* event, bool down);
    void sendMouseButton(QMouseEvent* event, bool down);
    void releaseHeldInput();
    void sendLockKeys();
    // Scrolling (FreeRdpControlScroll.cpp): where the remote desktop is larger than the
    // control, scroll bars bring every part of it into view. The remote desktop's size and
    // the scroll offset are in device pixels, the control's geometry in logical ones.
    void createScrollBars();
    void layoutScrollBars();
    QSize desktopSize() const;
    QPoint scrollOffset() const;
    double ratio() const { return devicePixelRatioF(); }
    QPointF toRemote(QPointF local) const;
    void watchOwnWindow();
    // The link has not come up yet; it came up and the session has not ended (a lost link
    // being tried again too).
    bool connecting() const { return seen_ == SessionState::Idle; }
    bool established() const {
        return seen_ == SessionState::Connected || seen_ == SessionState::LinkLost;
    }

    ControlSettings settings_;
    QSize requested_; // the remote desktop asked for, in device pixels
    QString connectingText_;
    QString fullScreenTitle_;
    bool fullScreen_ = false;
    std::int32_t smoothScroll_ = 0;

    FrameStore frames_;
    std::unique_ptr<ScreenBlit> blit_; // made at the first paint on screen
    bool onScreen_ = false;
    ClipboardBridge clipboard_; // outlives the session, which may call it until joined
    std::unique_ptr<Bridge> bridge_;
    std::unique_ptr<FreeRdpSession> session_;
    unsigned generation_ = 0;
    // The session's state as its last notice told the GUI thread (Ended: none; Idle from
    // Connect until the link first comes up): the control's every answer about the session
    // comes from it.
    SessionState seen_ = SessionState::Ended;
    int reconnectTries_ = 0;
    int endReason_ = 0;  // the last session's end, as OnDisconnected reported it
    QString endMessage_; // and what the user is told about it
    QScrollBar* hBar_ = nullptr;
    QScrollBar* vBar_ = nullptr;
    QSize barsLaidOutFor_; // the remote desktop size the scroll bars were laid out for
    bool loginCompleteRaised_ = false;
    bool paintedOnce_ = false; // the connection's first picture reached the screen
    CertificateAsker asker_;
    QPointer<QWidget> question_;
    std::set<std::uint32_t> heldKeys_;
    std::vector<InputEvent> earlyKeys_;
    Qt::MouseButtons heldButtons_;
    // The pointer's last position as the control's own window got it: exact, where Qt hands
    // the widget whole logical pixels (half a pixel off on a screen scaled by 2).
    QPointF exactPointer_{-1, -1};
};

} // namespace rdp::freerdp
