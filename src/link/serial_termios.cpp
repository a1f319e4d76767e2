// SPDX-License-Identifier: MIT
#include "link/serial_termios.h"

// termios2 lives in the kernel's headers, which clash with <termios.h>; this
// file is the only one that includes them.
#include <asm/termbits.h>
#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace vistrel {
namespace {

int readSettings(int fd, termios2& settings) {
    return ioctl(fd, TCGETS2, &settings) == 0 ? 0 : errno;
}

int writeSettings(int fd, const termios2& settings) {
    return ioctl(fd, TCSETS2, &settings) == 0 ? 0 : errno;
}

void setSpeed(termios2& settings, unsigned baud) {
    settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD);
    settings.c_cflag |= BOTHER;
    settings.c_ispeed = baud;
    settings.c_ospeed = baud;
}

} // namespace

int makeRaw(int fd, unsigned baud) {
    termios2 settings{};
    if (const int error = readSettings(fd, settings)) {
        return error;
    }
    settings.c_iflag = 0;
    settings.c_oflag = 0;
    settings.c_lflag = 0;
    settings.c_cflag = CS8 | CREAD | CLOCAL;
    for (auto& c : settings.c_cc) {
        c = 0;
    }
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    setSpeed(settings, baud);
    return writeSettings(fd, settings);
}

int changeBaudRate(int fd, unsigned baud) {
    termios2 settings{};
    if (const int error = readSettings(fd, settings)) {
        return error;
    }
    setSpeed(settings, baud);
    return writeSettings(fd, settings);
}

void requestLowLatency(int fd) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0) {
        return;
    }
    serial.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);
}

} // namespace vistrel
