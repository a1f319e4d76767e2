// SPDX-License-Identifier: MIT
// The serial device over a real pseudo-terminal: exclusive use, raw bytes
// both ways, and a clear error when the device goes away.

#include "components/error.h"
#include "components/error_numbers.h"
#include "fakes/error_of.h"
#include "link/pseudo_terminal.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace vistrel {
namespace {

using namespace std::chrono_literals;

std::int32_t openFailure(const std::string& path) {
    const auto error = testing::errorOf([&] { openSerialDevice(path, 10400); });
    return error ? error->number() : 0;
}

TEST(SerialLine, RawBytesBothWaysOneUserAtATimeAndALostDeviceIsAnErrorNotAHang) {
    auto pty = std::make_unique<PseudoTerminal>();
    const auto line = openSerialDevice(pty->slavePath(), 10400);
    EXPECT_EQ(openFailure(pty->slavePath()), link_error::kDeviceBusy);

    // CR, LF, XON/XOFF and ^C pass untouched and unechoed.
    const std::vector<std::uint8_t> sent = {0x0D, 0x0A, 0x11, 0x13, 0x03, 0x00, 0xFF};
    line->write(sent);
    std::vector<std::uint8_t> got(16);
    const auto n = pty->master().read(got, line->now() + 2s);
    EXPECT_EQ(std::vector(got.begin(), got.begin() + static_cast<long>(n)), sent);
    EXPECT_EQ(line->read(got, line->now() + 100ms), 0U);

    pty.reset();
    const auto lost = testing::errorOf([&] { line->read(got, line->now() + 5s); });
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->number(), link_error::kDeviceLost);
}

TEST(SerialLine, OpenErrorsTellWhatToDo) {
    EXPECT_EQ(openFailure("/dev/no-such-cable"), link_error::kDeviceUnavailable);
    EXPECT_EQ(deviceOpenError("/dev/ttyUSB0", EACCES).description(),
              "permission denied on /dev/ttyUSB0 — add your user to the dialout group");
    EXPECT_EQ(openFailure("/dev/null"), link_error::kDeviceUnavailable);
}

} // namespace
} // namespace vistrel
