// SPDX-License-Identifier: MIT
#include "link/udp_socket.h"

#include "components/error.h"
#include "components/error_numbers.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vistrel {
namespace {

// A discovery answer is a few dozen bytes; anything up to a datagram's size
// is read whole so that a longer one is seen as such, not cut.
constexpr std::size_t kLargestDatagram = 65536;

[[noreturn]] void failUdp(const std::string& what, int error) {
    throw Error(ErrorKind::Link, doip_error::kDiscoveryFailed,
                what + " (" + std::strerror(error) + ")");
}

sockaddr_in resolve(const std::string& address, std::uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (const int error = ::getaddrinfo(address.c_str(), nullptr, &hints, &found)) {
        throw Error(ErrorKind::Link, doip_error::kDiscoveryFailed,
                    "cannot find the host " + address + " (" + ::gai_strerror(error) + ")");
    }
    sockaddr_in to{};
    std::memcpy(&to, found->ai_addr, sizeof to);
    ::freeaddrinfo(found);
    to.sin_port = htons(port);
    return to;
}

} // namespace

UdpSocket::UdpSocket(const std::string& address, std::uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        failUdp("cannot make a UDP socket", errno);
    }
    const int on = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1) {
        ::close(fd_);
        throw Error(ErrorKind::Link, doip_error::kDiscoveryFailed,
                    address + " is not an IPv4 address");
    }
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const int error = errno;
        ::close(fd_);
        failUdp("cannot listen on UDP " + address + ":" + std::to_string(port), error);
    }
    socklen_t size = sizeof local;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size);
    port_ = ntohs(local.sin_port);
}

UdpSocket::~UdpSocket() {
    ::close(fd_);
}

void UdpSocket::allowBroadcast() {
    const int on = 1;
    if (::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
        failUdp("cannot send broadcasts", errno);
    }
}

void UdpSocket::sendTo(const std::string& address, std::uint16_t port,
                       std::span<const std::uint8_t> bytes) {
    const sockaddr_in to = resolve(address, port);
    if (::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to) < 0) {
        failUdp("cannot send to " + address + ":" + std::to_string(port), errno);
    }
}

std::optional<UdpSocket::Datagram> UdpSocket::receive(ByteLine::Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - ByteLine::Clock::now());
        pollfd ready{fd_, POLLIN, 0};
        const int n = ::poll(&ready, 1, static_cast<int>(std::max<long>(left.count(), 0)));
        if (n < 0 && errno != EINTR) {
            failUdp("cannot wait for UDP answers", errno);
        }
        if (n > 0) {
            Datagram datagram;
            datagram.bytes.resize(kLargestDatagram);
            sockaddr_in from{};
            socklen_t size = sizeof from;
            const ssize_t got = ::recvfrom(fd_, datagram.bytes.data(), datagram.bytes.size(), 0,
                                           reinterpret_cast<sockaddr*>(&from), &size);
            if (got >= 0) {
                datagram.bytes.resize(static_cast<std::size_t>(got));
                char text[INET_ADDRSTRLEN] = {};
                ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
                datagram.from = text;
                datagram.port = ntohs(from.sin_port);
                return datagram;
            }
        }
        if (left.count() <= 0) {
            return std::nullopt;
        }
    }
}

} // namespace vistrel
