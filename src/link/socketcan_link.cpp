// SPDX-License-Identifier: MIT
#include "link/socketcan_link.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "link/isotp_transport.h"
#include "link/line_keeper.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <linux/can.h>
#include <linux/can/isotp.h>
#include <linux/can/raw.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vistrel {
namespace {

constexpr const char* kSource = "SocketCan";
// The most WAIT flow controls the kernel takes in a row, as our transport.
constexpr std::uint8_t kMostWaits = 10;

using Clock = std::chrono::steady_clock;

class Socket {
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() { ::close(fd_); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const noexcept { return fd_; }

private:
    int fd_;
};

[[noreturn]] void fail(const std::string& interface, const std::string& what, int error) {
    // A vanished or downed interface is a lost device: the link reopens it.
    const bool lost = error == ENETDOWN || error == ENODEV || error == ENXIO;
    throw Error(lost ? link_error::kDeviceLost : link_error::kDeviceUnavailable,
                "socketcan:" + interface + ": " + what + " (" + std::strerror(error) + ")",
                kSource);
}

// True when fd is readable before deadline.
bool readable(int fd, Clock::time_point deadline, const std::string& interface) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd ready{fd, POLLIN, 0};
        const int n = ::poll(
            &ready, 1, static_cast<int>(std::max<std::chrono::milliseconds>(left, {}).count()));
        if (n < 0 && errno != EINTR) {
            fail(interface, "cannot wait on the socket", errno);
        }
        if (n > 0) {
            return true;
        }
        if (left <= std::chrono::milliseconds(0)) {
            return false;
        }
    }
}

unsigned interfaceIndex(const std::string& interface) {
    const unsigned index = ::if_nametoindex(interface.c_str());
    if (index == 0) {
        throw Error(can_error::kNoCanSockets,
                    "socketcan:" + interface + ": no such CAN interface (ip link show)", kSource);
    }
    return index;
}

canid_t socketId(std::uint32_t id, bool extended) {
    return extended ? (id | CAN_EFF_FLAG) : id;
}

// The kernel's own ISO-TP: it does the frames and flow control itself.
class KernelIsoTpLink : public MessageLink {
public:
    KernelIsoTpLink(int fd, std::string interface, std::chrono::milliseconds replyTimeout)
        : socket_(fd), interface_(std::move(interface)), replyTimeout_(replyTimeout) {}

    std::chrono::milliseconds replyTimeout() const override { return replyTimeout_; }

    void sendMessage(const ByteString& request) override {
        if (::write(socket_.fd(), request.data(), request.length()) < 0) {
            if (errno == ECOMM) {
                throw Error(can_error::kFlowControlTimeout,
                            "CAN: no flow control from the ECU (N_Bs)", kSource);
            }
            if (errno == EMSGSIZE) {
                throw Error(can_error::kFlowControlRefused,
                            "CAN: the ECU refused the request (flow control overflow)", kSource);
            }
            fail(interface_, "cannot send", errno);
        }
    }

    std::optional<ByteString> receiveMessage(std::chrono::milliseconds timeout) override {
        if (!readable(socket_.fd(), Clock::now() + timeout, interface_)) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> buffer(isotp::kMaxMessage);
        const ssize_t n = ::read(socket_.fd(), buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EILSEQ) {
                throw Error(can_error::kSequence, "CAN: a consecutive frame was lost", kSource);
            }
            if (errno == ETIMEDOUT || errno == ECOMM) {
                throw Error(can_error::kConsecutiveTimeout,
                            "CAN: the reply stopped part-way (N_Cr)", kSource);
            }
            fail(interface_, "cannot receive", errno);
        }
        buffer.resize(static_cast<std::size_t>(n));
        return ByteString(std::move(buffer));
    }

private:
    Socket socket_;
    std::string interface_;
    std::chrono::milliseconds replyTimeout_;
};

// Raw frames for our own transport.
class RawCanBus : public CanBus {
public:
    RawCanBus(int fd, std::string interface) : socket_(fd), interface_(std::move(interface)) {}

    Clock::time_point now() const override { return Clock::now(); }
    void waitUntil(Clock::time_point deadline) override { std::this_thread::sleep_until(deadline); }

    void send(const CanFrame& frame) override {
        can_frame out{};
        out.can_id = socketId(frame.id, frame.extended);
        out.len = frame.length;
        std::copy(frame.data.begin(), frame.data.end(), out.data);
        if (::write(socket_.fd(), &out, sizeof out) != static_cast<ssize_t>(sizeof out)) {
            fail(interface_, "cannot send a frame", errno);
        }
    }

    std::optional<CanFrame> receive(Clock::time_point deadline) override {
        if (!readable(socket_.fd(), deadline, interface_)) {
            return std::nullopt;
        }
        can_frame in{};
        if (::read(socket_.fd(), &in, sizeof in) != static_cast<ssize_t>(sizeof in)) {
            fail(interface_, "cannot receive a frame", errno);
        }
        CanFrame frame;
        frame.extended = (in.can_id & CAN_EFF_FLAG) != 0;
        frame.id = in.can_id & (frame.extended ? CAN_EFF_MASK : CAN_SFF_MASK);
        frame.length = std::min<std::uint8_t>(in.len, 8);
        std::copy(in.data, in.data + 8, frame.data.begin());
        return frame;
    }

private:
    Socket socket_;
    std::string interface_;
};

std::unique_ptr<MessageLink> openKernelIsoTp(int fd, const CanSettings& settings, unsigned index) {
    const IsoTpSettings& isotp = settings.isotp;
    can_isotp_options options{};
    if (isotp.padding) {
        options.flags |= CAN_ISOTP_TX_PADDING;
        options.txpad_content = *isotp.padding;
    }
    if (isotp.address && isotp.rxAddress) {
        options.flags |= CAN_ISOTP_EXTEND_ADDR | CAN_ISOTP_RX_EXT_ADDR;
        options.ext_address = *isotp.address;
        options.rx_ext_address = *isotp.rxAddress;
    }
    can_isotp_fc_options flow{};
    flow.bs = isotp.blockSize;
    flow.stmin = isotp.separation;
    flow.wftmax = kMostWaits;
    sockaddr_can address{};
    address.can_family = AF_CAN;
    address.can_ifindex = static_cast<int>(index);
    address.can_addr.tp.tx_id = socketId(isotp.tx, isotp.extended);
    address.can_addr.tp.rx_id = socketId(isotp.rx, isotp.extended);
    if (::setsockopt(fd, SOL_CAN_ISOTP, CAN_ISOTP_OPTS, &options, sizeof options) != 0 ||
        ::setsockopt(fd, SOL_CAN_ISOTP, CAN_ISOTP_RECV_FC, &flow, sizeof flow) != 0 ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        fail(settings.device, "cannot set up the ISO-TP socket", error);
    }
    return std::make_unique<KernelIsoTpLink>(fd, settings.device, isotp.replyTimeout);
}

std::unique_ptr<MessageLink> openRaw(const CanSettings& settings, unsigned index) {
    const int fd = ::socket(PF_CAN, SOCK_RAW | SOCK_CLOEXEC, CAN_RAW);
    if (fd < 0) {
        fail(settings.device, "cannot make a raw CAN socket", errno);
    }
    const IsoTpSettings& isotp = settings.isotp;
    const canid_t mask =
        (isotp.extended ? CAN_EFF_MASK : CAN_SFF_MASK) | CAN_EFF_FLAG | CAN_RTR_FLAG;
    std::array<can_filter, 2> filters{
        {{socketId(isotp.rx, isotp.extended), mask},
         {socketId(isotp.periodicId.value_or(isotp.rx), isotp.extended), mask}}};
    sockaddr_can address{};
    address.can_family = AF_CAN;
    address.can_ifindex = static_cast<int>(index);
    if (::setsockopt(fd, SOL_CAN_RAW, CAN_RAW_FILTER, filters.data(),
                     static_cast<socklen_t>(sizeof(can_filter) * filters.size())) != 0 ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        fail(settings.device, "cannot set up the raw CAN socket", error);
    }
    return std::make_unique<IsoTpTransport>(std::make_unique<RawCanBus>(fd, settings.device),
                                            isotp);
}

} // namespace

std::optional<std::string> missingCanSockets() {
    const int fd = ::socket(PF_CAN, SOCK_RAW | SOCK_CLOEXEC, CAN_RAW);
    if (fd < 0) {
        return std::string(std::strerror(errno));
    }
    ::close(fd);
    return std::nullopt;
}

std::unique_ptr<MessageLink> openSocketCan(const CanSettings& settings) {
    if (const auto why = missingCanSockets()) {
        throw Error(can_error::kNoCanSockets,
                    "socketcan:" + settings.device + ": this system has no CAN sockets (AF_CAN: " +
                        *why + "); use slcan: or socketcand: instead",
                    kSource);
    }
    const unsigned index = interfaceIndex(settings.device);
    // The kernel's ISO-TP drops what is no ISO-TP frame: a link that waits
    // for periodic frames takes the raw frames and does ISO-TP itself.
    if (!settings.isotp.periodicId) {
        const int fd = ::socket(PF_CAN, SOCK_DGRAM | SOCK_CLOEXEC, CAN_ISOTP);
        if (fd >= 0) {
            return openKernelIsoTp(fd, settings, index);
        }
    }
    return openRaw(settings, index);
}

} // namespace vistrel
