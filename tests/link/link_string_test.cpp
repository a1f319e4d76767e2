// SPDX-License-Identifier: MIT
// Link strings: what each kind accepts, and usage errors that name the part
// the user got wrong, all before any device is touched.

#include "link/elm_settings.h"
#include "link/kline_settings.h"
#include "link/link_factory.h"
#include "link/link_string.h"

#include <gtest/gtest.h>
#include <tuple>

namespace vistrel {
namespace {

// Settings as one value, so that a test compares all of them at once. The
// K-line defaults are the ISO timings.
TEST(LinkString, KeysAndDefaults) {
    const auto kline = [](const char* text) {
        const KLineSettings k = KLineSettings::fromLinkString(parseLinkString(text));
        return std::tuple(k.device, k.baud, k.init, k.target, k.source, k.p2max.count(),
                          k.p3min.count(), k.p4min.count(), k.echo);
    };
    EXPECT_EQ(kline("kline:/dev/ttyUSB0"), std::tuple("/dev/ttyUSB0", 10400U, KLineInit::Fast, 0x10,
                                                      0xF1, 50, 55, 5, KLineEcho::Auto));
    EXPECT_EQ(kline("kline:/dev/pts/3,baud=9600,init=5baud,target=7a,source=F0,p2max=200,"
                    "p3min=0,p4min=0,echo=off"),
              std::tuple("/dev/pts/3", 9600U, KLineInit::FiveBaud, 0x7A, 0xF0, 200, 0, 0,
                         KLineEcho::Off));
    const auto elm = [](const char* text) {
        const ElmSettings e = ElmSettings::fromLinkString(parseLinkString(text));
        return std::tuple(e.baud, e.bus, e.tx, e.rx, e.timeout.value_or(Milliseconds(0)).count());
    };
    EXPECT_EQ(elm("elm:/dev/rfcomm0"), std::tuple(38400U, ElmBus::KLineFast, 0x7E0U, 0x7E8U, 0));
    EXPECT_EQ(elm("elm:/dev/rfcomm0,baud=auto,protocol=can29-250,timeout=100"),
              std::tuple(0U, ElmBus::Can29At250, 0x18DA10F1U, 0x18DAF110U, 100));
}

TEST(LinkString, UsageErrorsNameTheOffendingPart) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "no kind"},
        {"serial:/dev/ttyUSB0", "unknown link kind 'serial'"},
        {"kline", "no device"},
        {"kline:/dev/ttyUSB0,speed=9600", "unknown key speed=9600"},
        {"kline:/dev/ttyUSB0,baud", "'baud' is not of the form key=value"},
        {"kline:/dev/ttyUSB0,", "'' is not of the form key=value"},
        {"kline:/dev/ttyUSB0,baud=1,baud=2", "the key baud is given twice"},
        {"kline:/dev/ttyUSB0,baud=10400x", "baud=10400x is not a whole number"},
        {"kline:/dev/ttyUSB0,p2max=0", "p2max=0 is not a whole number from 1"},
        {"kline:/dev/ttyUSB0,p4min=-1", "p4min=-1"},
        {"kline:/dev/ttyUSB0,target=100", "target=100 is not a byte"},
        {"kline:/dev/ttyUSB0,source=G1", "source=G1 is not a byte"},
        {"kline:/dev/ttyUSB0,init=slow", "init=slow is not one of fast, 5baud, none"},
        {"kline:/dev/ttyUSB0,echo=yes", "echo=yes is not one of auto, on, off"},
        {"sim,baud=1", "unknown key baud=1"},
        {"elm", "no device"},
        {"elm:/dev/rfcomm0,protocol=can", "protocol=can is not one of kline-fast, kline-5baud"},
        {"elm:/dev/rfcomm0,protocol=can11-500,tx=800",
         "tx=800 is not a hexadecimal number from 0 to 7FF"},
        {"elm:/dev/rfcomm0,protocol=can29-500,rx=20000000", "rx=20000000 is not a hexadecimal"},
        {"elm:/dev/rfcomm0,timeout=1045", "timeout=1045 is not a whole number from 1 to 1044"},
    };
    for (const auto& [text, message] : cases) {
        try {
            makeLink(text);
            ADD_FAILURE() << text << " was accepted";
        } catch (const LinkStringError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos)
                << text << ": " << e.what();
        }
    }
}

TEST(LinkString, MakesLinksWithoutOpeningAnyDevice) {
    EXPECT_EQ(makeLink("sim")->title(),
              makeLink("sim:" VISTREL_EXAMPLES_DIR "/demo-ecu.xml")->title());
    const auto kline = makeLink("kline:/dev/no-such-cable");
    EXPECT_EQ(kline->title(), "K-line");
    EXPECT_EQ(kline->subtitle(), "/dev/no-such-cable");
    EXPECT_EQ(makeLink("elm:/dev/no-such-adapter,protocol=can11-250")->subtitle(),
              "/dev/no-such-adapter, CAN 11-bit 250 kbit/s");
}

} // namespace
} // namespace vistrel
