#pragma once

#include "session/freerdp/CertificateQuestion.h"
#include "session/freerdp/ControlSettings.h"
#include "session/freerdp/DisconnectReason.h"
#include "session/freerdp/InputQueue.h"
#include "session/freerdp/ReconnectBudget.h"
#include "session/freerdp/RemoteCursor.h"
#include "session/freerdp/SessionState.h"
#include "session/freerdp/Watchdog.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
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

// What the session tells its owner. Called on the library's threads; the owner forwards
// each call to the GUI thread as a queued call.
class SessionListener {
public:
    virtual ~SessionListener() = default;
    virtual void sessionConnected() = 0;
    virtual void sessionLoginComplete() = 0;
    virtual void sessionFrameReady() = 0;
    virtual void sessionEnded(int reason) = 0;
    // The link broke and reconnection attempt `attempt` of `of` is about to begin.
    virtual void sessionReconnecting(int attempt, int of) = 0;
    virtual void sessionReconnected() = 0;
    virtual void sessionAsksCertificate(const CertificateQuestion& question,
                                        std::uint64_t ticket) = 0;
    virtual void sessionCursorChanged(const RemoteCursor& cursor) = 0;
    virtual void sessionCursorMoved(int x, int y) = 0;
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

    // Called by the library's callbacks (ContextCallbacks.cpp), on its threads.
    bool onPreConnect();
    bool onPostConnect();
    void onPostDisconnect();
    void onStateChange(int state);
    void onLoginNotice();
    bool onBeginPaint();
    bool onEndPaint();
    bool onDesktopResize();
    void onChannelConnected(const char* name, void* iface);
    void onChannelDisconnected(const char* name, void* iface);
    std::uint32_t askCertificate(const CertificateQuestion& question);
    void onCursorChanged(const RemoteCursor& cursor) { listener_.sessionCursorChanged(cursor); }
    void onCursorMoved(int x, int y) { listener_.sessionCursorMoved(x, y); }

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
    int connectAndServe();
    bool attempt(int timeoutMs);
    LinkEnd serve(std::optional<Clock::time_point> untilPicture = std::nullopt);
    std::uint32_t waitMs(std::optional<Clock::time_point> untilPicture, bool refreshAsked) const;
    bool reconnect();
    LinkEnd reconnectOnce();
    bool renewContext();
    void closeLink();
    void askForWholeScreen();
    void sendQueuedInput();
    void interruptConnecting(bool attempting);
    EndFacts facts(bool connected) const;
    bool waitForAttempt(Clock::time_point due, bool unreachable);
    bool waitForStop(Clock::time_point until);

    SessionListener& listener_;
    FrameStore& frames_;
    ClipboardBridge* clipboard_ = nullptr;
    ControlSettings settings_;
    std::mutex linkMutex_; // context_ and instance_ while the worker replaces them
    rdp_context* context_ = nullptr;
    rdp_freerdp* instance_ = nullptr;
    std::unique_ptr<LocalOffer> offer_; // worker only
    bool linkOpen_ = false;             // worker only: connected since the last disconnect
    std::atomic<bool> pictured_{false}; // a picture arrived on the current attempt's link
    InputQueue input_;
    Watchdog watchdog_;
    std::thread worker_;
    SessionLife life_;
    std::optional<ReconnectBudget> budget_; // worker only
    AttemptFacts attempt_;                  // worker only
    EndFacts endFacts_;                     // worker only: what the session ended with

    std::mutex questionMutex_;
    std::condition_variable questionCv_;
    std::uint64_t nextTicket_ = 0;
    std::uint64_t pendingTicket_ = 0;
    std::optional<CertificateAnswer> answer_;
};

} // namespace rdp::freerdp
