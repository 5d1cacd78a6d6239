#include "session/freerdp/link/FreeRdpSession.h"

#include "common/LogCategories.h"
#include "common/PhaseStamps.h"
#include "session/RdpClientControl.h"
#include "session/freerdp/handoff/ClipboardBridge.h"
#include "session/freerdp/handoff/FrameStore.h"
#include "session/freerdp/link/ContextCallbacks.h"
#include "session/freerdp/link/LocalDevices.h"
#include "session/freerdp/link/RemotePointer.h"
#include "session/freerdp/link/ServerProbe.h"
#include "session/freerdp/link/SettingsApply.h"
#include "session/freerdp/link/SocketShutdown.h"
#include "session/freerdp/module/WarmUp.h"

#include <freerdp/channels/channels.h>
#include <freerdp/channels/rdpgfx.h>
#include <freerdp/client/channels.h>
#include <freerdp/client/cliprdr.h>
#include <freerdp/client/cmdline.h>
#include <freerdp/gdi/gdi.h>
#include <freerdp/gdi/gfx.h>

#include <QRect>

#include <pthread.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace rdp::freerdp {

namespace {
// A link that breaks again this soon after a reconnection continues the attempts' count.
constexpr auto kReconnectSettleTime = std::chrono::seconds(30);
// From a loss to the first reconnection attempt.
constexpr auto kFirstReconnectPause = std::chrono::seconds(1);
// While waiting for the next attempt, whether the server can be reached is checked this
// often, each check waiting this long for an answer.
constexpr auto kReachCheckEvery = std::chrono::seconds(1);
constexpr int kReachCheckMs = 250;
// How long a server that closed the link during NLA has to show it is still there.
constexpr int kProbeTimeoutMs = 1000;

// The library's connection states as phase stamps: "state.NLA" and so on.
void StampState(int state) {
    const char* name = freerdp_state_string(static_cast<CONNECTION_STATE>(state));
    const char* prefix = "CONNECTION_STATE_";
    if (name && std::strncmp(name, prefix, std::strlen(prefix)) == 0) {
        name += std::strlen(prefix);
    }
    StampPhase((std::string("state.") + (name ? name : "?")).c_str());
}
} // namespace

FreeRdpSession::FreeRdpSession(SessionListener& listener, FrameStore& frames)
    : listener_(listener), frames_(frames), watchdog_([this] {
          // A deadline that comes after the attempt succeeded changes nothing.
          if (life_.apply(SessionEvent::DeadlineMissed)) {
              interruptConnecting(true);
          }
      }) {}

FreeRdpSession::~FreeRdpSession() {
    requestDisconnect();
    if (worker_.joinable()) {
        worker_.join();
    }
    watchdog_.disarm();
    if (context_) {
        Unhook(context_);
        freerdp_client_context_free(context_);
    }
}

void FreeRdpSession::start(const ControlSettings& settings) {
    settings_ = settings;
    context_ = CreateClientContext(this);
    if (context_) {
        instance_ = context_->instance;
        HookContext(context_);
    }
    worker_ = std::thread([this] { run(); });
}

void FreeRdpSession::requestDisconnect() {
    std::optional<SessionState> replaced;
    {
        std::lock_guard lock(questionMutex_);
        replaced = life_.change(SessionEvent::CloseRequested);
    }
    questionCv_.notify_all();
    interruptConnecting(replaced && IsAttempting(*replaced));
}

void FreeRdpSession::interruptConnecting(bool attempting) {
    {
        std::lock_guard lock(linkMutex_);
        if (!instance_) {
            return;
        }
        freerdp_abort_connect(instance_);
    }
    if (attempting) {
        // A connect blocked in a read is not woken by the abort alone.
        ShutdownSocketsTo(settings_.server, settings_.port);
    }
    input_.wake();
}

void FreeRdpSession::answerCertificate(std::uint64_t ticket, CertificateAnswer answer) {
    {
        std::lock_guard lock(questionMutex_);
        if (ticket == 0 || ticket != pendingTicket_) {
            return;
        }
        answer_ = answer;
    }
    questionCv_.notify_all();
}

void FreeRdpSession::sendInput(const InputEvent& event) {
    if (life_.state() == SessionState::Connected) {
        input_.push(event);
    }
}

void FreeRdpSession::run() {
    pthread_setname_np(pthread_self(), "rdp-session");
    connectAndServe();
    watchdog_.disarm();
    const EndVerdict verdict = JudgeEnd(endFacts_);
    const std::string line = EndFactsLine(endFacts_, verdict.reason);
    std::fprintf(stderr, "rdp-launcher: %s\n", line.c_str());
    qCInfo(rdp::lcSession, "%s", line.c_str());
    listener_.sessionMoved(
        {.state = SessionState::Ended, .reason = verdict.reason, .message = verdict.message});
    life_.apply(SessionEvent::Finished);
}

void FreeRdpSession::connectAndServe() {
    if (!context_) {
        endFacts_.localFailure = LocalFailure::Context;
        return;
    }
    EnsurePrimitives();
    offer_ = std::make_unique<LocalOffer>(LocalOffer{DiscoverPorts(), SmartCardServiceAvailable(),
                                                     KeyboardLayout(), DiscoverDrives()});
    if (settings_.server.trimmed().isEmpty()) {
        endFacts_.lastError = FREERDP_ERROR_DNS_NAME_NOT_FOUND; // no name to look up
        return;
    }
    if (settings_.port < 1 || settings_.port > 65535 ||
        !ApplySettings(context_->settings, settings_, *offer_)) {
        endFacts_.localFailure = LocalFailure::Settings;
        return;
    }
    budget_.emplace(settings_.reconnectAttempts, kReconnectSettleTime,
                    std::chrono::milliseconds(settings_.reconnectSpanMs), kFirstReconnectPause);
    if (!life_.apply(SessionEvent::Start)) {
        endFacts_.localRequest = true;
        return;
    }
    if (!attempt(settings_.connectTimeoutMs)) {
        endFacts_ = facts(false);
        closeLink();
        return;
    }
    bool lost = false;
    while ((lost = serve() == LinkEnd::Lost) && reconnect()) {
    }
    endFacts_ = facts(true);
    endFacts_.linkLost = lost && !endFacts_.localRequest;
    closeLink();
}

// One connection attempt under the watchdog. The watchdog is disarmed before the outcome
// is read: once it fired, the attempt has failed even if the library got through.
bool FreeRdpSession::attempt(int timeoutMs) {
    attempt_ = {};
    pictured_ = false;
    updateSeen_ = false;
    watchdog_.arm(std::chrono::milliseconds(timeoutMs));
    linkOpen_ = !life_.closing();
    const bool up = linkOpen_ && freerdp_connect(instance_);
    waker_.stop();
    watchdog_.disarm();
    return up && (life_.state() == SessionState::Connected || life_.apply(SessionEvent::Up));
}

// Ends the library's side of the current link (once): its channels and picture go.
void FreeRdpSession::closeLink() {
    if (linkOpen_) {
        linkOpen_ = false;
        freerdp_disconnect(instance_);
    }
}

// Until the deadline for a picture, if there is one.
std::uint32_t FreeRdpSession::waitMs(std::optional<Clock::time_point> untilPicture) {
    if (!untilPicture) {
        return INFINITE;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*untilPicture - Clock::now());
    return static_cast<DWORD>(std::max<std::int64_t>(0, left.count()));
}

FreeRdpSession::LinkEnd FreeRdpSession::serve(std::optional<Clock::time_point> untilPicture) {
    HANDLE handles[MAXIMUM_WAIT_OBJECTS];
    while (!life_.closing()) {
        if (untilPicture && pictured_) {
            return LinkEnd::Usable;
        }
        DWORD count = freerdp_get_event_handles(context_, handles, MAXIMUM_WAIT_OBJECTS - 1);
        if (count == 0) {
            return LinkEnd::Closed;
        }
        handles[count++] = input_.handle();
        // The servers send the whole screen once the session is active: nothing is asked for.
        const DWORD status = WaitForMultipleObjects(count, handles, FALSE, waitMs(untilPicture));
        if (status == WAIT_FAILED || life_.closing()) {
            return LinkEnd::Closed;
        }
        if (status == WAIT_TIMEOUT) {
            if (untilPicture && Clock::now() >= *untilPicture) {
                return LinkEnd::NoPicture;
            }
            continue;
        }
        sendQueuedInput();
        if (!freerdp_check_event_handles(context_)) {
            // The link is gone. Try again only when nothing says it would end the same way.
            const bool retry =
                !life_.closing() && settings_.autoReconnect && MayReconnect(lostFacts());
            return retry ? LinkEnd::Lost : LinkEnd::Closed;
        }
        if (freerdp_shall_disconnect(instance_)) {
            return LinkEnd::Closed;
        }
    }
    return LinkEnd::Closed;
}

// Attempts to bring a lost link back, counted over the session and spread over the
// budget's schedule. Credentials that the server refused are never presented again.
bool FreeRdpSession::reconnect() {
    if (!life_.apply(SessionEvent::Lost)) {
        return false;
    }
    closeLink();
    budget_->linkLost(Clock::now());
    while (const std::optional<int> n = budget_->nextAttempt()) {
        listener_.sessionMoved(
            {.state = SessionState::LinkLost, .attempt = *n, .of = budget_->maxAttempts()});
        // After an attempt that never heard from the server, the wait ends as soon as the
        // server answers again.
        const bool unheard = *n > 1 && !attempt_.answered;
        if (waitForAttempt(budget_->dueAt(*n), unheard) || !life_.apply(SessionEvent::Retry)) {
            return false;
        }
        const LinkEnd end = reconnectOnce();
        if (end == LinkEnd::Usable) {
            budget_->reconnected(Clock::now());
            listener_.sessionMoved({.state = SessionState::Connected});
            return true;
        }
        if (end == LinkEnd::Closed || life_.closing() || !MayReconnect(lostFacts()) ||
            !life_.apply(SessionEvent::Lost)) {
            return false;
        }
        closeLink();
    }
    return false;
}

// One reconnection attempt on a fresh context, bounded as a whole: it has succeeded only
// once the first picture of the new link arrived.
FreeRdpSession::LinkEnd FreeRdpSession::reconnectOnce() {
    const auto until = Clock::now() + std::chrono::milliseconds(settings_.reconnectAttemptMs);
    if (!renewContext()) {
        return LinkEnd::Closed;
    }
    if (!attempt(settings_.reconnectAttemptMs)) {
        return LinkEnd::Lost;
    }
    return serve(until);
}

// The library's reconnection keeps the first link's static channels, and the sound channel
// fails on its first data after it: every attempt gets a new context with its own
// channels. The server's auto-reconnect cookie, where it sent one, goes along so that the
// server resumes the session; without one the credentials log on again.
bool FreeRdpSession::renewContext() {
    rdpContext* fresh = CreateClientContext(this);
    if (!fresh || !ApplySettings(fresh->settings, settings_, *offer_)) {
        if (fresh) {
            freerdp_client_context_free(fresh);
        }
        return false;
    }
    CarryReconnectCookie(context_->settings, fresh->settings);
    HookContext(fresh);
    rdpContext* old = nullptr;
    {
        std::lock_guard lock(linkMutex_);
        old = context_;
        context_ = fresh;
        instance_ = fresh->instance;
    }
    Unhook(old);
    freerdp_client_context_free(old);
    return true;
}

// Waits until the attempt is due, or less: once the server, unreachable before or during
// this wait, accepts connections again, the link is back and the attempt starts at once. A
// server that accepts all along (it dropped the session itself) waits the whole pause.
// True when the session is closing.
bool FreeRdpSession::waitForAttempt(Clock::time_point due, bool unreachable) {
    while (Clock::now() < due) {
        if (waitForStop(std::min(due, Clock::now() + kReachCheckEvery))) {
            return true;
        }
        if (Clock::now() >= due) {
            break;
        }
        const bool reachable = ServerAccepts(settings_.server, settings_.port, kReachCheckMs);
        if (reachable && unreachable) {
            break;
        }
        unreachable = unreachable || !reachable;
    }
    return life_.closing();
}

bool FreeRdpSession::waitForStop(Clock::time_point until) {
    std::unique_lock lock(questionMutex_);
    return questionCv_.wait_until(lock, until, [this] { return life_.closing(); });
}

void FreeRdpSession::sendQueuedInput() {
    const std::vector<InputEvent> events = input_.takeAll();
    if (life_.state() != SessionState::Connected) {
        return;
    }
    rdpInput* in = context_->input;
    for (const InputEvent& e : events) {
        switch (e.kind) {
        case InputEvent::Kind::Key:
            freerdp_input_send_keyboard_event_ex(in, e.down, e.scancode);
            break;
        case InputEvent::Kind::Mouse:
            freerdp_input_send_mouse_event(in, e.flags, e.x, e.y);
            break;
        case InputEvent::Kind::ExtendedMouse:
            freerdp_input_send_extended_mouse_event(in, e.flags, e.x, e.y);
            break;
        case InputEvent::Kind::FocusIn:
            freerdp_input_send_focus_in_event(in, e.flags);
            break;
        case InputEvent::Kind::LockKeys:
            freerdp_input_send_synchronize_event(in, e.flags);
            break;
        }
    }
}

// What a link that broke (or a failed reconnection attempt) ended with.
EndFacts FreeRdpSession::lostFacts() const {
    EndFacts f = facts(true);
    f.linkLost = true;
    return f;
}

EndFacts FreeRdpSession::facts(bool connected) const {
    EndFacts f;
    f.localRequest = life_.closing();
    f.watchdogFired = life_.state() == SessionState::TimedOut;
    f.certificateRejected = attempt_.certificateRejected;
    f.wasConnected = connected;
    f.credentialsSent = attempt_.nlaReached && !attempt_.nlaPassed;
    f.lastError = freerdp_get_last_error(context_);
    f.errorInfo = freerdp_error_info(instance_);
    f.decoderFailed = decoderFailed_;
    f.colourDepth =
        static_cast<int>(freerdp_settings_get_uint32(context_->settings, FreeRDP_ColorDepth));
    f.channelError = getChannelError(context_);
    if (const char* text = f.channelError != 0 ? getChannelErrorDescription(context_) : nullptr) {
        f.channelText = text;
    }
    f.refusedDesktop = refusedDesktop();
    // A refusal leaves the server there; a server that went away is a network failure.
    f.serverReachable = f.credentialsSent && !f.localRequest &&
                        ServerAccepts(settings_.server, settings_.port, kProbeTimeoutMs);
    return f;
}

bool FreeRdpSession::onPreConnect() {
    StampPhase("preconnect");
    // A close that came while the library reset its abort event still ends the attempt.
    return !life_.closing() && freerdp_client_load_addins(context_->channels, context_->settings);
}

bool FreeRdpSession::onPostConnect() {
    StampPhase("postconnect");
    // The library draws into the store's picture, which the control paints from.
    const rdpSettings* s = context_->settings;
    const auto width = freerdp_settings_get_uint32(s, FreeRDP_DesktopWidth);
    const auto height = freerdp_settings_get_uint32(s, FreeRDP_DesktopHeight);
    if (!desktopAllowed(width, height)) {
        return false;
    }
    frames_.beginDrawing();
    // A reconnection of the same size draws over the last picture, which stays shown.
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    FrameStore::Canvas canvas = frames_.currentCanvas(w, h);
    const bool fresh = canvas.bits == nullptr;
    if (fresh) {
        canvas = frames_.prepareResize(w, h);
    }
    const bool up = canvas.bits && gdi_init_ex(instance_, PIXEL_FORMAT_BGRX32, canvas.stride,
                                               canvas.bits, nullptr);
    if (up && fresh) {
        frames_.commitResize();
    }
    const bool notify = frames_.endDrawing(nullptr, 0);
    if (!up) {
        return canvas.bits || width == 0 || height == 0 ? false : refuseDesktop(width, height);
    }
    HookPaint(context_);
    HookPointer(context_);
    WatchLinksTo(settings_.server, settings_.port, LinkTimers{});
    // The watchdog or a close may have come first: then this attempt has failed.
    const std::optional<SessionState> replaced = life_.change(SessionEvent::Up);
    if (!replaced) {
        return false;
    }
    if (notify) {
        listener_.sessionFrameReady();
    }
    // A reconnection's link is told as back only with its first picture (reconnect()).
    if (*replaced == SessionState::Connecting) {
        listener_.sessionMoved({.state = SessionState::Connected});
    }
    return true;
}

void FreeRdpSession::onPostDisconnect() {
    if (clipboard_) {
        clipboard_->detach();
    }
    frames_.beginDrawing();
    gdi_free(instance_); // the picture's pixels stay with the store
    frames_.endDrawing(nullptr, 0);
}

void FreeRdpSession::onStateChange(int state) {
    StampState(state);
    if (state > CONNECTION_STATE_NEGO && state < CONNECTION_STATE_ACTIVE) {
        watchReplies();
    } else {
        waker_.stop();
    }
    attempt_.answered = attempt_.answered || state > CONNECTION_STATE_NEGO;
    if (life_.closing()) {
        // freerdp_connect resets the abort event a close may have set before it began:
        // every step of an attempt under way repeats it.
        freerdp_abort_connect(instance_);
    } else if (state == CONNECTION_STATE_NEGO && attempt_.presented) {
        // The library starts over by itself after a transport failure; the password has
        // already been presented once in this attempt, so that second round is cancelled
        // before it reaches the server (lock-out policies would count it).
        freerdp_abort_connect(instance_);
    } else if (state == CONNECTION_STATE_NLA) {
        attempt_.nlaReached = true;
        attempt_.presented = true;
    } else if (state > CONNECTION_STATE_NLA) {
        attempt_.nlaPassed = attempt_.nlaReached;
        // Without NLA the password travels in the client info, after the channels join.
        attempt_.presented =
            attempt_.presented || state >= CONNECTION_STATE_SECURE_SETTINGS_EXCHANGE;
    }
}

// From TLS on, the connection sequence's sleeps end as soon as the server's reply is there.
void FreeRdpSession::watchReplies() {
    void* readFds[MAXIMUM_WAIT_OBJECTS + 1] = {};
    void* writeFds[MAXIMUM_WAIT_OBJECTS + 1] = {};
    int reads = 0;
    int writes = 0;
    if (!freerdp_get_fds(instance_, readFds, &reads, writeFds, &writes)) {
        return;
    }
    std::vector<int> fds;
    for (int i = 0; i < reads; ++i) {
        const auto fd = static_cast<int>(reinterpret_cast<std::intptr_t>(readFds[i]));
        if (fd >= 0) {
            fds.push_back(fd);
        }
    }
    waker_.start(fds);
}

void FreeRdpSession::onLoginNotice() {
    // The control raises the logon once a session: a server repeating it posts nothing more.
    if (!loginNoticed_.exchange(true)) {
        listener_.sessionLoginComplete();
    }
}

namespace {

HGDI_WND PrimaryWindow(rdpGdi* gdi) {
    if (!gdi || !gdi->primary || !gdi->primary->hdc) {
        return nullptr;
    }
    return gdi->primary->hdc->hwnd;
}

} // namespace

bool FreeRdpSession::onBeginPaint() {
    if (!updateSeen_.exchange(true)) {
        StampPhase("update");
    }
    // The library serialises its painters; the picture stays taken until EndPaint, so the
    // GUI never paints from pixels being drawn.
    frames_.beginDrawing();
    if (const HGDI_WND hwnd = PrimaryWindow(context_->gdi)) {
        hwnd->invalid->null = TRUE;
        hwnd->ninvalid = 0;
    }
    return true;
}

bool FreeRdpSession::onEndPaint() {
    std::vector<QRect> rects;
    const HGDI_WND hwnd = PrimaryWindow(context_->gdi);
    if (hwnd && !hwnd->invalid->null) {
        const int count = hwnd->ninvalid;
        if (count <= 0) {
            rects.emplace_back(hwnd->invalid->x, hwnd->invalid->y, hwnd->invalid->w,
                               hwnd->invalid->h);
        }
        for (int i = 0; i < count; ++i) {
            const GDI_RGN& r = hwnd->cinvalid[i];
            rects.emplace_back(r.x, r.y, r.w, r.h);
        }
    }
    if (!rects.empty() && !pictured_.exchange(true)) {
        StampPhase("drawn");
    }
    if (frames_.endDrawing(rects.data(), static_cast<int>(rects.size()))) {
        listener_.sessionFrameReady();
    }
    return true;
}

bool FreeRdpSession::onDesktopResize() {
    const rdpSettings* s = context_->settings;
    const auto width = freerdp_settings_get_uint32(s, FreeRDP_DesktopWidth);
    const auto height = freerdp_settings_get_uint32(s, FreeRDP_DesktopHeight);
    if (!desktopAllowed(width, height)) {
        return false; // before the library's codecs or the picture are sized for it
    }
    frames_.beginDrawing();
    rdpGdi* gdi = context_->gdi;
    bool noMemory = false;
    // The same size keeps the picture (a reactivation): everything is only repainted.
    bool resized =
        gdi && gdi->width == static_cast<INT32>(width) && gdi->height == static_cast<INT32>(height);
    if (gdi && !resized) {
        const FrameStore::Canvas canvas =
            frames_.prepareResize(static_cast<int>(width), static_cast<int>(height));
        noMemory = !canvas.bits && width > 0 && height > 0;
        resized = canvas.bits && gdi_resize_ex(gdi, width, height, canvas.stride,
                                               PIXEL_FORMAT_BGRX32, canvas.bits, nullptr);
        if (resized) {
            frames_.commitResize();
        }
    }
    const QRect all(0, 0, static_cast<int>(width), static_cast<int>(height));
    if (frames_.endDrawing(&all, resized ? 1 : 0)) {
        listener_.sessionFrameReady();
    }
    return noMemory ? refuseDesktop(width, height) : resized;
}

// A desktop larger than RDP allows is refused before anything is allocated for it.
bool FreeRdpSession::desktopAllowed(std::uint32_t width, std::uint32_t height) {
    const auto most = static_cast<std::uint32_t>(RdpClientControl::MaxDesktopSide);
    return (width <= most && height <= most) || refuseDesktop(width, height);
}

// The session ends from this side, with the size for its message; it is not tried again.
bool FreeRdpSession::refuseDesktop(std::uint32_t width, std::uint32_t height) {
    std::uint64_t none = 0;
    refusedDesktop_.compare_exchange_strong(none, std::uint64_t{width} << 32 | height);
    requestDisconnect();
    return false;
}

QSize FreeRdpSession::refusedDesktop() const {
    const std::uint64_t size = refusedDesktop_.load();
    return size == 0 ? QSize()
                     : QSize(static_cast<int>(size >> 32), static_cast<int>(size & 0xFFFFFFFFu));
}

void FreeRdpSession::onChannelConnected(const char* name, void* iface) {
    if (std::strcmp(name, RDPGFX_DVC_CHANNEL_NAME) == 0 && context_->gdi) {
        auto* gfx = static_cast<RdpgfxClientContext*>(iface);
        gdi_graphics_pipeline_init(context_->gdi, gfx);
        HookGraphicsDecoder(context_, gfx);
    } else if (std::strcmp(name, CLIPRDR_SVC_CHANNEL_NAME) == 0 && clipboard_) {
        clipboard_->attach(static_cast<CliprdrClientContext*>(iface));
    }
}

bool FreeRdpSession::passChannelData(std::uint16_t channel, const unsigned char* data,
                                     std::size_t size, std::uint32_t flags, std::size_t total) {
    // The clipboard's messages are screened: their size is the remote user's copy, and the
    // library would put each together whole before the bridge could look at it.
    return !clipboard_ ||
           channel != freerdp_channels_get_id_by_name(instance_, CLIPRDR_SVC_CHANNEL_NAME) ||
           clipboard_->passFromRemote(data, size, flags, total);
}

void FreeRdpSession::onChannelDisconnected(const char* name, void* iface) {
    if (std::strcmp(name, RDPGFX_DVC_CHANNEL_NAME) == 0 && context_->gdi) {
        gdi_graphics_pipeline_uninit(context_->gdi, static_cast<RdpgfxClientContext*>(iface));
    } else if (std::strcmp(name, CLIPRDR_SVC_CHANNEL_NAME) == 0 && clipboard_) {
        clipboard_->detach();
    }
}

std::uint32_t FreeRdpSession::askCertificate(const CertificateQuestion& question) {
    StampPhase("certificate");
    std::unique_lock lock(questionMutex_);
    CertificateAnswer answer = CertificateAnswer::Reject;
    if (!life_.closing()) {
        const std::uint64_t ticket = ++nextTicket_;
        pendingTicket_ = ticket;
        answer_.reset();
        watchdog_.pause();
        lock.unlock();
        listener_.sessionAsksCertificate(question, ticket);
        lock.lock();
        questionCv_.wait(lock, [this] { return answer_.has_value() || life_.closing(); });
        pendingTicket_ = 0;
        answer = answer_.value_or(CertificateAnswer::Reject);
        watchdog_.resume();
    }
    if (answer == CertificateAnswer::Reject) {
        attempt_.certificateRejected = true;
    }
    return static_cast<std::uint32_t>(answer);
}

} // namespace rdp::freerdp
