#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace rdp::freerdp {

// One keyboard, mouse or focus event on its way from the GUI thread to the session's
// worker thread, which alone talks to the library.
struct InputEvent {
    enum class Kind { Key, Mouse, ExtendedMouse, FocusIn, LockKeys };
    Kind kind = Kind::Key;
    std::uint16_t flags = 0; // pointer flags, or the lock-key state for FocusIn and LockKeys
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    std::uint32_t scancode = 0; // RDP scancode with the extended bit
    bool down = false;
};

// A locked queue whose wake-up handle sits among the handles the worker waits on.
class InputQueue {
public:
    InputQueue();
    ~InputQueue();
    InputQueue(const InputQueue&) = delete;
    InputQueue& operator=(const InputQueue&) = delete;

    void push(const InputEvent& event);
    // Wakes the worker without an event (used to make it look at its stop flag).
    void wake();
    std::vector<InputEvent> takeAll();
    void* handle() const { return event_; }

private:
    std::mutex mutex_;
    std::deque<InputEvent> events_;
    void* event_ = nullptr;
};

} // namespace rdp::freerdp
