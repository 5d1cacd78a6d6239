#include "session/freerdp/handoff/InputQueue.h"

#include <winpr/synch.h>

namespace rdp::freerdp {

InputQueue::InputQueue() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

InputQueue::~InputQueue() {
    if (event_) {
        CloseHandle(event_);
    }
}

void InputQueue::push(const InputEvent& event) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
    SetEvent(event_);
}

void InputQueue::wake() {
    std::lock_guard lock(mutex_);
    SetEvent(event_);
}

std::vector<InputEvent> InputQueue::takeAll() {
    std::lock_guard lock(mutex_);
    std::vector<InputEvent> out(events_.begin(), events_.end());
    events_.clear();
    ResetEvent(event_);
    return out;
}

} // namespace rdp::freerdp
