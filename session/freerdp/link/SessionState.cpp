#include "session/freerdp/link/SessionState.h"

#include "common/LogCategories.h"

#include <chrono>

namespace rdp::freerdp {

namespace {

// Events that apply in every state before the end.
std::optional<SessionState> Common(SessionState from, SessionEvent event) {
    if (from == SessionState::Ended) {
        return std::nullopt;
    }
    if (event == SessionEvent::Finished) {
        return SessionState::Ended;
    }
    if (event == SessionEvent::CloseRequested) {
        return SessionState::Closing;
    }
    return std::nullopt;
}

} // namespace

const char* StateName(SessionState state) {
    static constexpr const char* names[] = {"Idle",         "Connecting", "Connected", "LinkLost",
                                            "Reconnecting", "TimedOut",   "Closing",   "Ended"};
    return names[static_cast<int>(state)];
}

std::optional<SessionState> NextState(SessionState from, SessionEvent event) {
    if (const std::optional<SessionState> common = Common(from, event)) {
        return common;
    }
    using S = SessionState;
    using E = SessionEvent;
    switch (from) {
    case S::Idle:
        return event == E::Start ? std::optional(S::Connecting) : std::nullopt;
    case S::Connecting:
    case S::Reconnecting:
        if (event == E::Up) {
            return S::Connected;
        }
        if (event == E::DeadlineMissed) {
            return S::TimedOut;
        }
        return event == E::Lost && from == S::Reconnecting ? std::optional(S::LinkLost)
                                                           : std::nullopt;
    case S::Connected:
        return event == E::Lost ? std::optional(S::LinkLost) : std::nullopt;
    case S::LinkLost:
        return event == E::Retry ? std::optional(S::Reconnecting) : std::nullopt;
    case S::TimedOut:
        // The attempt has failed even if the library brought the link up meanwhile.
        return event == E::Lost ? std::optional(S::LinkLost) : std::nullopt;
    case S::Closing:
    case S::Ended:
        return std::nullopt;
    }
    return std::nullopt;
}

bool IsAttempting(SessionState state) {
    return state == SessionState::Connecting || state == SessionState::Reconnecting;
}

std::optional<SessionState> SessionLife::change(SessionEvent event) {
    SessionState from = state_.load();
    for (;;) {
        const std::optional<SessionState> to = NextState(from, event);
        if (!to) {
            return std::nullopt;
        }
        if (state_.compare_exchange_weak(from, *to)) {
            qCInfo(lcFreeRdp, "session state %s -> %s", StateName(from), StateName(*to));
            break;
        }
    }
    if (event == SessionEvent::Finished) {
        std::lock_guard lock(endMutex_);
        endCv_.notify_all();
    }
    return from;
}

bool SessionLife::waitEnded(int milliseconds) {
    std::unique_lock lock(endMutex_);
    return endCv_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                           [this] { return state_.load() == SessionState::Ended; });
}

bool SessionLife::closing() const {
    const SessionState s = state_.load();
    return s == SessionState::Closing || s == SessionState::Ended;
}

} // namespace rdp::freerdp
