// SPDX-License-Identifier: MIT
#include "link/pseudo_terminal.h"

#include "components/error_numbers.h"
#include "link/serial_termios.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vistrel {
namespace {

[[noreturn]] void noPseudoTerminal(const char* step) {
    throw Error(link_error::kDeviceUnavailable,
                std::string("no pseudo-terminal: ") + step + ": " + std::strerror(errno));
}

} // namespace

PseudoTerminal::PseudoTerminal() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0) {
        noPseudoTerminal("posix_openpt");
    }
    master_ = std::make_unique<SerialLine>(master, "pseudo-terminal");
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        noPseudoTerminal("unlockpt");
    }
    char name[128] = {};
    if (::ptsname_r(master, name, sizeof name) != 0) {
        noPseudoTerminal("ptsname");
    }
    slavePath_ = name;
    slaveFd_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveFd_ < 0) {
        noPseudoTerminal(name);
    }
    makeRaw(slaveFd_, 10400);
}

PseudoTerminal::~PseudoTerminal() {
    if (slaveFd_ >= 0) {
        ::close(slaveFd_);
    }
}

} // namespace vistrel
