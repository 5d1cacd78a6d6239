#include "session/freerdp/handoff/PointerHandOff.h"

#include <utility>

namespace rdp::freerdp {

bool PointerHandOff::setShape(const RemoteCursor& shape) {
    std::lock_guard lock(mutex_);
    pending_.shape = shape;
    return noticeLocked();
}

bool PointerHandOff::setPosition(QPoint position) {
    std::lock_guard lock(mutex_);
    pending_.position = position;
    return noticeLocked();
}

PointerHandOff::Pending PointerHandOff::take() {
    std::lock_guard lock(mutex_);
    noticeOutstanding_ = false;
    return std::exchange(pending_, {});
}

bool PointerHandOff::noticeLocked() {
    return !std::exchange(noticeOutstanding_, true);
}

} // namespace rdp::freerdp
