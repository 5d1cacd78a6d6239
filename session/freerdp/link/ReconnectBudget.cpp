#include "session/freerdp/link/ReconnectBudget.h"

#include <algorithm>

namespace rdp::freerdp {

void ReconnectBudget::linkLost(Clock::time_point now) {
    const bool settled = !lastReconnect_ || now - *lastReconnect_ >= settleTime_;
    if (settled) {
        used_ = 0;
    }
    // A continued count goes on with the pauses where it left them.
    origin_ = now - (used_ > 0 ? offset(used_) : Clock::duration::zero());
}

std::optional<int> ReconnectBudget::nextAttempt() {
    if (used_ >= maxAttempts_) {
        return std::nullopt;
    }
    return ++used_;
}

ReconnectBudget::Clock::duration ReconnectBudget::offset(int attempt) const {
    if (maxAttempts_ <= 1 || attempt <= 1) {
        return firstPause_;
    }
    const double share = static_cast<double>(attempt - 1) / (maxAttempts_ - 1);
    const auto grown = std::chrono::duration_cast<Clock::duration>(span_ * (share * share));
    return std::max(firstPause_, grown);
}

} // namespace rdp::freerdp
