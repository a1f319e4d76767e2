// SPDX-License-Identifier: MIT
#include "link/serial_line.h"

#include "components/error_numbers.h"
#include "link/serial_termios.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace vistrel {
namespace {

// How long a write may be held up by a full output buffer.
constexpr auto kWriteTimeout = std::chrono::seconds(2);

} // namespace

namespace {

bool isSocket(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISSOCK(status.st_mode);
}

} // namespace

SerialLine::SerialLine(int fd, std::string name)
    : fd_(fd), name_(std::move(name)), socket_(isSocket(fd)) {}

SerialLine::~SerialLine() {
    ::close(fd_);
}

ByteLine::Clock::time_point SerialLine::now() const {
    return Clock::now();
}

bool SerialLine::waitFor(short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd fd{fd_, events, 0};
        const int ready =
            ::poll(&fd, 1, static_cast<int>(std::max<std::chrono::milliseconds>(left, {}).count()));
        if (ready < 0 && errno != EINTR) {
            fail(errno);
        }
        if (ready > 0) {
            if ((fd.revents & events) != 0) {
                return true;
            }
            // Hang-up or error without data: the device went away.
            fail(EIO);
        }
        if (left <= std::chrono::milliseconds(0)) {
            return false;
        }
    }
}

void SerialLine::waitUntil(Clock::time_point deadline) {
    std::this_thread::sleep_until(deadline);
}

void SerialLine::write(std::span<const std::uint8_t> bytes) {
    const auto deadline = Clock::now() + kWriteTimeout;
    while (!bytes.empty()) {
        const ssize_t written = socket_ ? ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL)
                                        : ::write(fd_, bytes.data(), bytes.size());
        if (written > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            fail(errno);
        }
        if (!waitFor(POLLOUT, deadline)) {
            throw Error(link_error::kDeviceLost, name_ + " takes no more data");
        }
    }
}

std::size_t SerialLine::read(std::span<std::uint8_t> out, Clock::time_point deadline) {
    while (waitFor(POLLIN, deadline)) {
        const ssize_t got = ::read(fd_, out.data(), out.size());
        if (got > 0) {
            return static_cast<std::size_t>(got);
        }
        if (got == 0) {
            fail(EIO);
        }
        if (errno != EAGAIN && errno != EINTR) {
            fail(errno);
        }
    }
    return 0;
}

void SerialLine::discardInput() {
    ::tcflush(fd_, TCIFLUSH);
}

void SerialLine::setBaudRate(unsigned baud) {
    if (const int error = changeBaudRate(fd_, baud)) {
        throw Error(link_error::kDeviceUnavailable, name_ + ": cannot set " + std::to_string(baud) +
                                                        " baud (" + std::strerror(error) + ")");
    }
}

void SerialLine::setBreak(bool on) {
    if (::ioctl(fd_, on ? TIOCSBRK : TIOCCBRK) != 0) {
        fail(errno);
    }
}

void SerialLine::fail(int error) const {
    throw Error(link_error::kDeviceLost, "lost the device " + name_ + " (" + std::strerror(error) +
                                             ") — is the cable still plugged in?");
}

Error deviceOpenError(const std::string& path, int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return Error(link_error::kPermissionDenied,
                     "permission denied on " + path + " — add your user to the dialout group");
    case EBUSY:
    case EWOULDBLOCK:
        return Error(link_error::kDeviceBusy,
                     "device busy: " + path + " is in use by another program");
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return Error(link_error::kDeviceUnavailable,
                     "no device " + path + " — is the cable plugged in?");
    case ENOTTY:
        return Error(link_error::kDeviceUnavailable, path + " is not a serial line");
    default:
        return Error(link_error::kDeviceUnavailable,
                     "cannot open " + path + ": " + std::strerror(error));
    }
}

std::unique_ptr<SerialLine> openSerialDevice(const std::string& path, unsigned baud) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw deviceOpenError(path, errno);
    }
    auto line = std::make_unique<SerialLine>(fd, path);
    // TIOCEXCL keeps other programs from opening the port; flock also
    // covers root, which TIOCEXCL lets through, and programs that lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        throw deviceOpenError(path, errno);
    }
    if (const int error = makeRaw(fd, baud)) {
        throw deviceOpenError(path, error);
    }
    requestLowLatency(fd);
    ::tcflush(fd, TCIFLUSH);
    return line;
}

} // namespace vistrel
