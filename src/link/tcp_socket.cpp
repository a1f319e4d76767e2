// SPDX-License-Identifier: MIT
#include "link/tcp_socket.h"

#include "components/error_numbers.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vistrel {
namespace {

// A server on the local network answers a connection at once.
constexpr int kConnectTimeoutMs = 3000;

std::string endpoint(const std::string& host, std::uint16_t port) {
    return host + ":" + std::to_string(port);
}

// Waits for a non-blocking connect; 0 or the errno.
int finishConnect(int fd) {
    pollfd ready{fd, POLLOUT, 0};
    const int n = ::poll(&ready, 1, kConnectTimeoutMs);
    if (n <= 0) {
        return n == 0 ? ETIMEDOUT : errno;
    }
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
    return error;
}

} // namespace

std::unique_ptr<SerialLine> connectTcp(const std::string& host, std::uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int error =
            ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found)) {
        throw Error(link_error::kDeviceUnavailable,
                    "cannot find the host " + host + " (" + ::gai_strerror(error) + ")");
    }
    int lastError = ECONNREFUSED;
    for (const addrinfo* at = found; at != nullptr; at = at->ai_next) {
        const int fd = ::socket(at->ai_family, at->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                at->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        int error = ::connect(fd, at->ai_addr, at->ai_addrlen) == 0 ? 0 : errno;
        if (error == EINPROGRESS) {
            error = finishConnect(fd);
        }
        if (error == 0) {
            ::freeaddrinfo(found);
            // Frames are small and each one matters now: no Nagle delay.
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            return std::make_unique<SerialLine>(fd, endpoint(host, port));
        }
        lastError = error;
        ::close(fd);
    }
    ::freeaddrinfo(found);
    throw Error(link_error::kDeviceUnavailable, "cannot connect to " + endpoint(host, port) + " (" +
                                                    std::strerror(lastError) +
                                                    ") — is the server running?");
}

TcpListener::TcpListener(std::uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        throw Error(link_error::kDeviceUnavailable,
                    std::string("cannot make a TCP socket: ") + std::strerror(errno));
    }
    const int on = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd_, 4) != 0) {
        const int error = errno;
        ::close(fd_);
        throw Error(link_error::kDeviceBusy, "cannot listen on 127.0.0.1:" + std::to_string(port) +
                                                 " (" + std::strerror(error) + ")");
    }
    socklen_t size = sizeof address;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
}

TcpListener::~TcpListener() {
    ::close(fd_);
}

std::unique_ptr<SerialLine> TcpListener::accept(ByteLine::Clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - ByteLine::Clock::now());
    pollfd ready{fd_, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(std::max<long>(left.count(), 0))) <= 0) {
        return nullptr;
    }
    const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return std::make_unique<SerialLine>(fd, "tester connection");
}

} // namespace vistrel
