#pragma once

#include <chrono>
#include <optional>

namespace rdp::freerdp {

// Counts reconnection attempts over a whole session. A link that breaks again soon after a
// reconnection brought it back continues the count instead of starting a new one, so a
// server that accepts and drops again cannot keep the session looping.
class ReconnectBudget {
public:
    using Clock = std::chrono::steady_clock;

    ReconnectBudget(int maxAttempts, Clock::duration settleTime)
        : maxAttempts_(maxAttempts), settleTime_(settleTime) {}

    // The link broke at `now`: starts a new count unless it broke within the settle time
    // of the last reconnection.
    void linkLost(Clock::time_point now);
    // The number of the next attempt (1-based), or nothing when the attempts are used up.
    std::optional<int> nextAttempt();
    // A reconnection attempt brought the link back at `now`.
    void reconnected(Clock::time_point now) { lastReconnect_ = now; }

    int maxAttempts() const { return maxAttempts_; }
    int used() const { return used_; }

private:
    int maxAttempts_;
    Clock::duration settleTime_;
    int used_ = 0;
    std::optional<Clock::time_point> lastReconnect_;
};

} // namespace rdp::freerdp
