#pragma once

#include "session/freerdp/handoff/CertificateQuestion.h"
#include "session/freerdp/handoff/InputQueue.h"
#include "session/freerdp/handoff/PointerHandOff.h"
#include "session/freerdp/handoff/RemoteCursor.h"
#include "session/freerdp/link/ControlSettings.h"
#include "session/freerdp/link/DisconnectReason.h"
#include "session/freerdp/link/ReconnectBudget.h"
#include "session/freerdp/link/ReplyWaker.h"
#include "session/freerdp/link/SessionState.h"
#include "session/freerdp/link/Watchdog.h"

#include <QSize>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

struct rdp_context;
struct rdp_freerdp;

namespace rdp::freerdp {

class ClipboardBridge;
class FrameStore;
struct LocalOffer;

// A step of the session's life as the worker took it: the state the step led to, and what
// goes with it. The GUI thread learns the session's state only from these, in their order.
struct SessionNotice {
    // Connected: the link came up (the first time), or a lost link is usable again;
    // LinkLost: the link broke and reconnection attempt `attempt` of `of` is about to begin;
    // Ended: the worker is finishing, with `reason` and what the user is told (empty:
    // nothing). No other state is told.
    SessionState state = SessionState::Idle;
    int attempt = 0;
    int of = 0;
    int reason = 0;
    QString message{};
};

// What the session tells its owner. Called on the library's threads; the owner forwards
// each call to the GUI thread as a queued call.
class SessionListener {
public:
    virtual ~SessionListener() = default;
    virtual void sessionMoved(const SessionNotice& notice) = 0;
    virtual void sessionLoginComplete() = 0;
    virtual void sessionFrameReady() = 0;
    virtual void sessionAsksCertificate(const CertificateQuestion& question,
                                        std::uint64_t ticket) = 0;
    // The remote pointer's shape or position changed: takePointer() has it.
    virtual void sessionPointerChanged() = 0;
};

// One connection: owns the FreeRDP context and the worker thread ("rdp-session") that
// connects, runs the event loop, reconnects and disconnects. Every reconnection attempt
// runs on a context of its own, with channels of its own. Its life is one SessionState
// that the worker, the watchdog and the GUI thread change only through SessionLife.
// Created and destroyed on the GUI thread; destruction ends the session and joins the
// worker without waiting on the GUI.
class FreeRdpSession {
public:
    FreeRdpSession(SessionListener& listener, FrameStore& frames);
    ~FreeRdpSession();
    FreeRdpSession(const FreeRdpSession&) = delete;
    FreeRdpSession& operator=(const FreeRdpSession&) = delete;

    // The clipboard bridge the cliprdr channel joins when it comes up (before start).
    void setClipboard(ClipboardBridge* clipboard) { clipboard_ = clipboard; }
    // Creates the context, hands it the settings and starts the worker.
    void start(const ControlSettings& settings);
    // Ends the session from this side (reason 1); returns at once.
    void requestDisconnect();
    // Waits until the worker has finished (the server was told), at most `milliseconds`.
    bool waitEnded(int milliseconds) { return life_.waitEnded(milliseconds); }
    void answerCertificate(std::uint64_t ticket, CertificateAnswer answer);
    void sendInput(const InputEvent& event);
    // The desktop size that ended the session because it was refused; empty otherwise.
    QSize refusedDesktop() const;

    // Called by the library's callbacks (ContextCallbacks.cpp), on its threads.
    bool onPreConnect();
    bool onPostConnect();
    void onPostDisconnect();
    void onStateChange(int state);
    void onLoginNotice();
    void onDecoderFailed() { decoderFailed_ = true; }
    bool onBeginPaint();
    bool onEndPaint();
    bool onDesktopResize();
    void onChannelConnected(const char* name, void* iface);
    // Worker thread: whether a piece of channel data from the server goes on to its channel.
    bool passChannelData(std::uint16_t channel, const unsigned char* data, std::size_t size,
                         std::uint32_t flags, std::size_t total);
    void onChannelDisconnected(const char* name, void* iface);
    std::uint32_t askCertificate(const CertificateQuestion& question);
    void onCursorChanged(const RemoteCursor& cursor) {
        if (pointer_.setShape(cursor)) {
            listener_.sessionPointerChanged();
        }
    }
    void onCursorMoved(int x, int y) {
        if (pointer_.setPosition(QPoint(x, y))) {
            listener_.sessionPointerChanged();
        }
    }
    // GUI thread: the pointer's latest shape and position since the last call.
    PointerHandOff::Pending takePointer() { return pointer_.take(); }

private:
    // What the worker learnt about the current attempt (worker only).
    struct AttemptFacts {
        bool certificateRejected = false;
        bool nlaReached = false; // NLA began with our password
        bool nlaPassed = false;  // and got past it
        bool presented = false;  // the password reached the server
        bool answered = false;   // the server answered at all
    };

    using Clock = std::chrono::steady_clock;
    // How serving a link ended.
    enum class LinkEnd {
        Closed,    // ended for good (by either side, or reconnection is off)
        Lost,      // broke; reconnection may bring it back
        Usable,    // the first picture arrived (when serving until it)
        NoPicture, // no picture by the deadline
    };

    void run();
    void connectAndServe();
    bool attempt(int timeoutMs);
    LinkEnd serve(std::optional<Clock::time_point> untilPicture = std::nullopt);
    static std::uint32_t waitMs(std::optional<Clock::time_point> untilPicture);
    bool reconnect();
    LinkEnd reconnectOnce();
    bool renewContext();
    void closeLink();
    void watchReplies();
    void sendQueuedInput();
    void interruptConnecting(bool attempting);
    bool desktopAllowed(std::uint32_t width, std::uint32_t height);
    bool refuseDesktop(std::uint32_t width, std::uint32_t height);
    EndFacts facts(bool connected) const;
    EndFacts lostFacts() const;
    bool waitForAttempt(Clock::time_point due, bool unreachable);
    bool waitForStop(Clock::time_point until);

    SessionListener& listener_;
    FrameStore& frames_;
    ClipboardBridge* clipboard_ = nullptr;
    ControlSettings settings_;
    std::mutex linkMutex_; // context_ and instance_ while the worker replaces them
    rdp_context* context_ = nullptr;
    rdp_freerdp* instance_ = nullptr;
    std::unique_ptr<LocalOffer> offer_;   // worker only
    bool linkOpen_ = false;               // worker only: connected since the last disconnect
    std::atomic<bool> pictured_{false};   // a picture arrived on the current attempt's link
    std::atomic<bool> updateSeen_{false}; // the link's first update began (phase stamps)
    InputQueue input_;
    std::atomic<std::uint64_t> refusedDesktop_{0}; // width << 32 | height, once refused
    std::atomic<bool> loginNoticed_{false};
    PointerHandOff pointer_;
    Watchdog watchdog_;
    std::thread worker_;
    SessionLife life_;
    std::optional<ReconnectBudget> budget_;  // worker only
    AttemptFacts attempt_;                   // worker only
    ReplyWaker waker_;                       // worker only: the connection sequence's replies
    EndFacts endFacts_;                      // worker only: what the session ended with
    std::atomic<bool> decoderFailed_{false}; // a picture could not be decoded

    std::mutex questionMutex_;
    std::condition_variable questionCv_;
    std::uint64_t nextTicket_ = 0;
    std::uint64_t pendingTicket_ = 0;
    std::optional<CertificateAnswer> answer_;
};

} // namespace rdp::freerdp
