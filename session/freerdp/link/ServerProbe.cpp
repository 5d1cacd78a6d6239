#include "session/freerdp/link/ServerProbe.h"

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace rdp::freerdp {
namespace {

bool ConnectsWithin(const addrinfo& a, int timeoutMs) {
    const int fd =
        ::socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol);
    if (fd < 0) {
        return false;
    }
    bool up = ::connect(fd, a.ai_addr, a.ai_addrlen) == 0;
    if (!up && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        up = ::poll(&p, 1, timeoutMs) == 1 &&
             ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    ::close(fd);
    return up;
}

} // namespace

bool ServerAccepts(const QString& host, int port, int timeoutMs) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const QByteArray name = host.trimmed().toUtf8();
    const QByteArray service = QByteArray::number(port);
    if (::getaddrinfo(name.constData(), service.constData(), &hints, &found) != 0) {
        return false;
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> list(found, &::freeaddrinfo);
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        if (ConnectsWithin(*a, timeoutMs)) {
            return true;
        }
    }
    return false;
}

} // namespace rdp::freerdp
