#include "session/freerdp/link/ReplyWaker.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <mutex>

namespace rdp::freerdp {
namespace {

// A real-time signal nobody else in the program uses; its handler does nothing.
int WakeSignal() {
    static std::once_flag installed;
    const int signal = SIGRTMIN + 5;
    std::call_once(installed, [signal] {
        struct sigaction action {};
        action.sa_handler = [](int) {
        };
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    });
    return signal;
}

} // namespace

void ReplyWaker::start(const std::vector<int>& fds) {
    if (thread_.joinable() || fds.empty()) {
        return;
    }
    WakeSignal();
    stopFd_ = eventfd(0, EFD_CLOEXEC);
    if (stopFd_ < 0) {
        return;
    }
    thread_ = std::thread([this, sleeper = pthread_self(), fds] { run(sleeper, fds); });
}

void ReplyWaker::stop() {
    if (!thread_.joinable()) {
        return;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(stopFd_, &one, sizeof one);
    thread_.join();
    close(stopFd_);
    stopFd_ = -1;
}

void ReplyWaker::run(pthread_t sleeper, std::vector<int> fds) {
    pthread_setname_np(pthread_self(), "rdp-reply-waker");
    std::vector<pollfd> set;
    for (const int fd : fds) {
        set.push_back({fd, POLLIN, 0});
    }
    set.push_back({stopFd_, POLLIN, 0});
    for (;;) {
        const int n = poll(set.data(), set.size(), -1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 || set.back().revents != 0) {
            return;
        }
        pthread_kill(sleeper, WakeSignal());
        // The connecting thread reads the data now; until it has, the sockets stay readable
        // and it is woken again, in case the signal came just before it went to sleep.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace rdp::freerdp
