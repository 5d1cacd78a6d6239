#include "session/freerdp/link/SocketShutdown.h"

#include <QDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cstring>

namespace rdp::freerdp {
namespace {

struct Peer {
    bool numeric = false;
    int family = AF_UNSPEC;
    unsigned char address[16] = {};
};

Peer ParseHost(const QString& host) {
    Peer p;
    const QByteArray h = host.trimmed().toLatin1();
    if (inet_pton(AF_INET, h.constData(), p.address) == 1) {
        p.numeric = true;
        p.family = AF_INET;
    } else if (inet_pton(AF_INET6, h.constData(), p.address) == 1) {
        p.numeric = true;
        p.family = AF_INET6;
    }
    return p;
}

bool Matches(const sockaddr_storage& ss, const Peer& want, int port) {
    if (ss.ss_family == AF_INET) {
        sockaddr_in in{};
        std::memcpy(&in, &ss, sizeof in);
        if (ntohs(in.sin_port) != port) {
            return false;
        }
        return !want.numeric ||
               (want.family == AF_INET && std::memcmp(&in.sin_addr, want.address, 4) == 0);
    }
    if (ss.ss_family == AF_INET6) {
        sockaddr_in6 in6{};
        std::memcpy(&in6, &ss, sizeof in6);
        if (ntohs(in6.sin6_port) != port) {
            return false;
        }
        return !want.numeric ||
               (want.family == AF_INET6 && std::memcmp(&in6.sin6_addr, want.address, 16) == 0);
    }
    return false;
}

template <typename F> int ForEachSocketTo(const QString& host, int port, F act) {
    const Peer want = ParseHost(host);
    int count = 0;
    const QStringList fds =
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System);
    for (const QString& name : fds) {
        bool ok = false;
        const int fd = name.toInt(&ok);
        int type = 0;
        socklen_t typeLen = sizeof type;
        if (!ok || getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &typeLen) != 0 ||
            type != SOCK_STREAM) {
            continue;
        }
        sockaddr_storage ss{};
        socklen_t len = sizeof ss;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&ss), &len) == 0 &&
            Matches(ss, want, port) && act(fd)) {
            ++count;
        }
    }
    return count;
}

bool SetInt(int fd, int level, int option, int value) {
    return setsockopt(fd, level, option, &value, sizeof value) == 0;
}

int GetInt(int fd, int level, int option) {
    int value = -1;
    socklen_t len = sizeof value;
    return getsockopt(fd, level, option, &value, &len) == 0 ? value : -1;
}

} // namespace

int ShutdownSocketsTo(const QString& host, int port) {
    return ForEachSocketTo(host, port, [](int fd) { return shutdown(fd, SHUT_RDWR) == 0; });
}

int WatchLinksTo(const QString& host, int port, const LinkTimers& timers) {
    return ForEachSocketTo(host, port, [&timers](int fd) {
        return SetInt(fd, SOL_SOCKET, SO_KEEPALIVE, 1) &&
               SetInt(fd, IPPROTO_TCP, TCP_KEEPIDLE, timers.idleSeconds) &&
               SetInt(fd, IPPROTO_TCP, TCP_KEEPINTVL, timers.intervalSeconds) &&
               SetInt(fd, IPPROTO_TCP, TCP_KEEPCNT, timers.probes) &&
               SetInt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, timers.unacknowledgedMs);
    });
}

std::optional<LinkTimers> LinkTimersTo(const QString& host, int port) {
    std::optional<LinkTimers> found;
    ForEachSocketTo(host, port, [&found](int fd) {
        if (GetInt(fd, SOL_SOCKET, SO_KEEPALIVE) == 1) {
            found = LinkTimers{
                GetInt(fd, IPPROTO_TCP, TCP_KEEPIDLE), GetInt(fd, IPPROTO_TCP, TCP_KEEPINTVL),
                GetInt(fd, IPPROTO_TCP, TCP_KEEPCNT), GetInt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT)};
        }
        return true;
    });
    return found;
}

} // namespace rdp::freerdp
