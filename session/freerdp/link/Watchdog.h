#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace rdp::freerdp {

// Fires a callback on its own thread when an armed deadline passes. Pausing stops the
// clock (while the user answers a question); disarming or destroying it cancels.
class Watchdog {
public:
    explicit Watchdog(std::function<void()> onExpired);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void arm(std::chrono::milliseconds timeout);
    void pause();
    void resume();
    // Cancels; if the callback is running, returns once it has finished.
    void disarm();

private:
    void run();

    using Clock = std::chrono::steady_clock;
    std::function<void()> onExpired_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool armed_ = false;
    bool paused_ = false;
    bool stopping_ = false;
    bool firing_ = false;
    Clock::time_point deadline_;
    Clock::duration remaining_{};
    std::thread thread_;
};

} // namespace rdp::freerdp
