#include "session/freerdp/ReconnectBudget.h"

namespace rdp::freerdp {

void ReconnectBudget::linkLost(Clock::time_point now) {
    const bool settled = !lastReconnect_ || now - *lastReconnect_ >= settleTime_;
    if (settled) {
        used_ = 0;
    }
}

std::optional<int> ReconnectBudget::nextAttempt() {
    if (used_ >= maxAttempts_) {
        return std::nullopt;
    }
    return ++used_;
}

} // namespace rdp::freerdp
