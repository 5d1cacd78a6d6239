// A TCP relay that holds every byte for a fixed time in each direction: latency for the
// network tests, since this kernel has no netem. One thread, poll(); the sockets block on
// write (the test links are not rate-limited).
//
//   delay_relay LISTEN_ADDRESS LISTEN_PORT TARGET_ADDRESS TARGET_PORT ONE_WAY_MS
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <list>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk {
    Clock::time_point due;
    std::string bytes; // empty: the sender closed
};

// One direction of one connection.
struct Flow {
    int from = -1;
    int to = -1;
    bool open = true;
    std::deque<Chunk> held;
};

sockaddr_in Address(const char* host, const char* port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(std::atoi(port)));
    if (inet_pton(AF_INET, host, &a.sin_addr) != 1) {
        std::fprintf(stderr, "delay_relay: bad address %s\n", host);
        std::exit(2);
    }
    return a;
}

int Listen(const sockaddr_in& at) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0 || listen(fd, 16) != 0) {
        std::perror("delay_relay: listen");
        std::exit(1);
    }
    return fd;
}

// Moves what is due to its receiver; false once the flow is finished.
bool Deliver(Flow& f, Clock::time_point now) {
    while (!f.held.empty() && f.held.front().due <= now) {
        const std::string& b = f.held.front().bytes;
        if (b.empty() ||
            send(f.to, b.data(), b.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(b.size())) {
            shutdown(f.to, SHUT_WR);
            f.held.clear();
            return false;
        }
        f.held.pop_front();
    }
    return f.open || !f.held.empty();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: delay_relay LISTEN_ADDRESS LISTEN_PORT TARGET_ADDRESS "
                             "TARGET_PORT ONE_WAY_MS\n");
        return 2;
    }
    const int listener = Listen(Address(argv[1], argv[2]));
    const sockaddr_in target = Address(argv[3], argv[4]);
    const auto delay = std::chrono::milliseconds(std::atoi(argv[5]));
    std::list<Flow> flows;
    std::printf("relaying %s:%s to %s:%s, %s ms each way\n", argv[1], argv[2], argv[3], argv[4],
                argv[5]);
    std::fflush(stdout);
    for (;;) {
        std::vector<pollfd> fds{{listener, POLLIN, 0}};
        auto next = Clock::time_point::max();
        for (const Flow& f : flows) {
            fds.push_back({f.open ? f.from : -1, POLLIN, 0});
            if (!f.held.empty()) {
                next = std::min(next, f.held.front().due);
            }
        }
        const auto now = Clock::now();
        const int wait =
            next == Clock::time_point::max()
                ? -1
                : static_cast<int>(std::max<long long>(
                      0, std::chrono::ceil<std::chrono::milliseconds>(next - now).count()));
        poll(fds.data(), fds.size(), wait);
        const auto due = Clock::now() + delay;
        std::size_t i = 1;
        for (Flow& f : flows) {
            if (f.open && (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                char buf[65536];
                const ssize_t n = recv(f.from, buf, sizeof buf, 0);
                f.open = n > 0;
                f.held.push_back({due, n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : ""});
            }
            ++i;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const int client = accept(listener, nullptr, nullptr);
            const int server = socket(AF_INET, SOCK_STREAM, 0);
            if (client >= 0 &&
                connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
                const int on = 1;
                setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                flows.push_back({client, server, true, {}});
                flows.push_back({server, client, true, {}});
            } else {
                close(client);
                close(server);
            }
        }
        const auto later = Clock::now();
        for (Flow& f : flows) {
            if (!Deliver(f, later)) {
                f.open = false;
            }
        }
        // Sockets are closed by the process's end; a test relays a handful of links.
    }
}
