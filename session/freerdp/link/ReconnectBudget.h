#pragma once

#include <chrono>
#include <optional>

namespace rdp::freerdp {

// Counts reconnection attempts over a whole session and spreads them in time. A link that
// breaks again soon after a reconnection brought it back continues the count instead of
// starting a new one, so a server that accepts and drops again cannot keep the session
// looping. The attempts of one count start at growing offsets from the loss, the last one
// `span` after it, so that together they outlast a short outage.
class ReconnectBudget {
public:
    using Clock = std::chrono::steady_clock;

    ReconnectBudget(int maxAttempts, Clock::duration settleTime, Clock::duration span,
                    Clock::duration firstPause)
        : maxAttempts_(maxAttempts), settleTime_(settleTime), span_(span), firstPause_(firstPause) {
    }

    // The link broke at `now`: starts a new count unless it broke within the settle time
    // of the last reconnection.
    void linkLost(Clock::time_point now);
    // The number of the next attempt (1-based), or nothing when the attempts are used up.
    std::optional<int> nextAttempt();
    // When the attempt numbered `attempt` is due (after linkLost).
    Clock::time_point dueAt(int attempt) const { return origin_ + offset(attempt); }
    // A reconnection attempt made the session usable again at `now`.
    void reconnected(Clock::time_point now) { lastReconnect_ = now; }

    int maxAttempts() const { return maxAttempts_; }
    int used() const { return used_; }

private:
    // From the loss to the start of the attempt numbered `attempt`: quadratic growth from
    // the first pause to the span.
    Clock::duration offset(int attempt) const;

    int maxAttempts_;
    Clock::duration settleTime_;
    Clock::duration span_;
    Clock::duration firstPause_;
    int used_ = 0;
    Clock::time_point origin_{};
    std::optional<Clock::time_point> lastReconnect_;
};

} // namespace rdp::freerdp
