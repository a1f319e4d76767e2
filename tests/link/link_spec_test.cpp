// SPDX-License-Identifier: MIT
// Link strings: what each kind accepts, and usage errors that name the part
// the user got wrong, all before any device is touched.

#include "link/kline_settings.h"
#include "link/link_factory.h"
#include "link/link_spec.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

TEST(LinkSpec, KLineKeysAndDefaults) {
    const KLineSettings plain = KLineSettings::fromLinkSpec(parseLinkSpec("kline:/dev/ttyUSB0"));
    EXPECT_EQ(plain.device, "/dev/ttyUSB0");
    EXPECT_EQ(plain.baud, 10400U);
    EXPECT_EQ(plain.init, KLineInit::Fast);
    EXPECT_EQ(plain.target, 0x10);
    EXPECT_EQ(plain.source, 0xF1);
    EXPECT_EQ(plain.p2max, Milliseconds(50));
    EXPECT_EQ(plain.p3min, Milliseconds(55));
    EXPECT_EQ(plain.p4min, Milliseconds(5));
    EXPECT_EQ(plain.echo, KLineEcho::Auto);

    const KLineSettings all = KLineSettings::fromLinkSpec(
        parseLinkSpec("kline:/dev/pts/3,baud=9600,init=5baud,target=7a,source=F0,p2max=200,"
                      "p3min=0,p4min=0,echo=off"));
    EXPECT_EQ(all.baud, 9600U);
    EXPECT_EQ(all.init, KLineInit::FiveBaud);
    EXPECT_EQ(all.target, 0x7A);
    EXPECT_EQ(all.source, 0xF0);
    EXPECT_EQ(all.p2max, Milliseconds(200));
    EXPECT_EQ(all.p3min, Milliseconds(0));
    EXPECT_EQ(all.p4min, Milliseconds(0));
    EXPECT_EQ(all.echo, KLineEcho::Off);
}

TEST(LinkSpec, UsageErrorsNameTheOffendingPart) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "no kind"},
        {":/dev/ttyUSB0", "no kind"},
        {"serial:/dev/ttyUSB0", "unknown link kind 'serial'"},
        {"kline", "no device"},
        {"kline:", "no device"},
        {"kline:/dev/ttyUSB0,speed=9600", "unknown key speed=9600"},
        {"kline:/dev/ttyUSB0,baud", "'baud' is not of the form key=value"},
        {"kline:/dev/ttyUSB0,=1", "'=1' is not of the form key=value"},
        {"kline:/dev/ttyUSB0,", "'' is not of the form key=value"},
        {"kline:/dev/ttyUSB0,baud=1,baud=2", "the key baud is given twice"},
        {"kline:/dev/ttyUSB0,baud=fast", "baud=fast is not a whole number"},
        {"kline:/dev/ttyUSB0,baud=10400x", "baud=10400x is not a whole number"},
        {"kline:/dev/ttyUSB0,p2max=0", "p2max=0 is not a whole number from 1"},
        {"kline:/dev/ttyUSB0,p4min=-1", "p4min=-1"},
        {"kline:/dev/ttyUSB0,target=100", "target=100 is not a byte"},
        {"kline:/dev/ttyUSB0,source=G1", "source=G1 is not a byte"},
        {"kline:/dev/ttyUSB0,init=slow", "init=slow is not one of fast, 5baud, none"},
        {"kline:/dev/ttyUSB0,echo=yes", "echo=yes is not one of auto, on, off"},
        {"sim,baud=1", "unknown key baud=1"},
    };
    for (const auto& [text, message] : cases) {
        try {
            makeLink(text);
            ADD_FAILURE() << text << " was accepted";
        } catch (const LinkSpecError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos)
                << text << ": " << e.what();
        }
    }
}

TEST(LinkSpec, MakesLinksWithoutOpeningAnyDevice) {
    EXPECT_EQ(makeLink("sim")->title(),
              makeLink("sim:" VISTREL_EXAMPLES_DIR "/demo-ecu.xml")->title());
    const auto kline = makeLink("kline:/dev/no-such-cable");
    EXPECT_EQ(kline->title(), "K-line");
    EXPECT_EQ(kline->subtitle(), "/dev/no-such-cable");
}

} // namespace
} // namespace vistrel
