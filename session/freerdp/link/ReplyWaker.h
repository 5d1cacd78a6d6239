#pragma once

#include <pthread.h>

#include <thread>
#include <vector>

namespace rdp::freerdp {

// FreeRDP 2's connection sequence after TLS reads what the server has sent and, when the
// reply it waits for is not there yet, sleeps 100 ms before it looks again: each of the
// sequence's dozen request/reply steps may cost 100 ms for a reply that takes one. While the
// sequence runs, a waker thread waits on the link's sockets and, once data arrives, ends the
// connecting thread's sleep with a signal. The library's own waits retry on EINTR and its
// socket calls are restarted, so the signal only cuts the sleep short.
class ReplyWaker {
public:
    ReplyWaker() = default;
    ~ReplyWaker() { stop(); }
    ReplyWaker(const ReplyWaker&) = delete;
    ReplyWaker& operator=(const ReplyWaker&) = delete;

    // On the connecting thread: watches `fds` (readable) for it until stop(). Ignored while
    // already watching.
    void start(const std::vector<int>& fds);
    void stop();

private:
    void run(pthread_t sleeper, std::vector<int> fds);

    std::thread thread_;
    int stopFd_ = -1;
};

} // namespace rdp::freerdp
