#include "session/freerdp/link/Watchdog.h"

namespace rdp::freerdp {

Watchdog::Watchdog(std::function<void()> onExpired)
    : onExpired_(std::move(onExpired)), thread_([this] { run(); }) {}

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    cv_.notify_all();
    thread_.join();
}

void Watchdog::arm(std::chrono::milliseconds timeout) {
    {
        std::lock_guard lock(mutex_);
        armed_ = true;
        paused_ = false;
        deadline_ = Clock::now() + timeout;
    }
    cv_.notify_all();
}

void Watchdog::pause() {
    std::lock_guard lock(mutex_);
    if (armed_ && !paused_) {
        paused_ = true;
        remaining_ = deadline_ - Clock::now();
    }
}

void Watchdog::resume() {
    {
        std::lock_guard lock(mutex_);
        if (!armed_ || !paused_) {
            return;
        }
        paused_ = false;
        deadline_ = Clock::now() + remaining_;
    }
    cv_.notify_all();
}

void Watchdog::disarm() {
    std::unique_lock lock(mutex_);
    armed_ = false;
    cv_.notify_all();
    cv_.wait(lock, [this] { return !firing_; });
}

void Watchdog::run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!armed_ || paused_) {
            cv_.wait(lock);
            continue;
        }
        if (cv_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ && !paused_ &&
            Clock::now() >= deadline_) {
            armed_ = false;
            firing_ = true;
            lock.unlock();
            onExpired_();
            lock.lock();
            firing_ = false;
            cv_.notify_all();
        }
    }
}

} // namespace rdp::freerdp
