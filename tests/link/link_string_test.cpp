// SPDX-License-Identifier: MIT
// Link strings: what each kind accepts, and usage errors that name the part
// the user got wrong, all before any device is touched.

#include "connect/link_factory.h"
#include "link/can_settings.h"
#include "link/doip_settings.h"
#include "link/elm_settings.h"
#include "link/kline_settings.h"
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
    const auto can = [](const char* text) {
        const CanSettings c = CanSettings::fromLinkString(parseLinkString(text));
        const IsoTpSettings& i = c.isotp;
        return std::tuple(c.carrier, c.device, c.port, c.bus, c.bitrate, i.tx, i.rx, i.extended,
                          i.padding.value_or(0), i.padding.has_value(), i.separation, i.blockSize,
                          i.replyTimeout.count(), i.frameTimeout.count());
    };
    EXPECT_EQ(can("slcan:/dev/ttyACM0"),
              std::tuple(CanCarrier::Slcan, "/dev/ttyACM0", 29536, "can0", 500000U, 0x7E0U, 0x7E8U,
                         false, 0xCC, true, 0, 0, 150, 1000));
    EXPECT_EQ(can("slcan:/dev/ttyACM0,bitrate=250000,tx=7E1,pad=off,stmin=5,bs=8,p2max=500,"
                  "timeout=200"),
              std::tuple(CanCarrier::Slcan, "/dev/ttyACM0", 29536, "can0", 250000U, 0x7E1U, 0x7E9U,
                         false, 0, false, 5, 8, 500, 200));
    EXPECT_EQ(can("socketcand:pi.local,tx=18DA10F1,bus=can1"),
              std::tuple(CanCarrier::Socketcand, "pi.local", 29536, "can1", 500000U, 0x18DA10F1U,
                         0x18DAF110U, true, 0xCC, true, 0, 0, 150, 1000));
    EXPECT_EQ(can("socketcand:127.0.0.1:4000,tx=18DB33F1,rx=18DAF101,pad=00"),
              std::tuple(CanCarrier::Socketcand, "127.0.0.1", 4000, "can0", 500000U, 0x18DB33F1U,
                         0x18DAF101U, true, 0, true, 0, 0, 150, 1000));
    EXPECT_EQ(std::get<0>(can("socketcan:can0")), CanCarrier::SocketCan);
    const auto doip = [](const char* text) {
        const DoipSettings d = DoipSettings::fromLinkString(parseLinkString(text));
        return std::tuple(d.host, d.port, d.tester, d.target.value_or(0), d.target.has_value(),
                          d.activation, d.version, d.p2max.count(), d.timeout.count());
    };
    EXPECT_EQ(doip("doip:192.168.0.10"),
              std::tuple("192.168.0.10", 13400, 0x0E00, 0, false, 0, 2, 1000, 2000));
    EXPECT_EQ(doip("doip:[fe80::1]:4000,ta=1010,sa=0e80,activation=E0,version=3,p2max=50,"
                   "timeout=300"),
              std::tuple("fe80::1", 4000, 0x0E80, 0x1010, true, 0xE0, 3, 50, 300));
}

// What the Connection dialog writes reads back as the same settings, and
// names only the keys that differ from the defaults.
TEST(LinkString, WrittenBackWithOnlyTheKeysThatDiffer) {
    const char* texts[] = {
        "kline:/dev/ttyUSB0",
        "kline:/dev/pts/3,baud=9600,init=5baud,target=7A,source=F0,p2max=200,p3min=0,p4min=0,"
        "echo=off",
        "elm:/dev/rfcomm0",
        "elm:/dev/rfcomm0,baud=auto,protocol=can29-250,rx=18DAF111,timeout=100",
        "elm:/dev/rfcomm0,protocol=can11-500,tx=7E1,rx=7E9",
        "slcan:/dev/ttyACM0",
        "slcan:/dev/ttyACM0,tx=7E1,pad=off,stmin=5,bs=8,p2max=500,timeout=200,bitrate=250000",
        "socketcand:pi.local,tx=18DA10F1",
        "socketcand:127.0.0.1:4000,tx=18DB33F1,rx=18DAF101,pad=00,bus=can1",
        "socketcan:can0,tx=6F1,rx=612",
        "doip:192.168.0.10",
        "doip:[fe80::1]:4000,ta=1010,sa=0E80,activation=E0,version=3,p2max=50,timeout=300",
        "doip:car,security=01,key=vistrel-seedkey",
    };
    for (const char* text : texts) {
        const LinkString linkString = parseLinkString(text);
        std::string written;
        if (linkString.kind == "kline") {
            written = toLinkString(KLineSettings::fromLinkString(linkString));
        } else if (linkString.kind == "elm") {
            written = toLinkString(ElmSettings::fromLinkString(linkString));
        } else if (linkString.kind == "doip") {
            written = toLinkString(DoipSettings::fromLinkString(linkString));
        } else {
            written = toLinkString(CanSettings::fromLinkString(linkString));
        }
        EXPECT_EQ(written, text);
    }
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
        {"slcan", "no device (e.g. slcan:/dev/ttyACM0)"},
        {"slcan:/dev/ttyACM0,bitrate=83333", "bitrate=83333 is not one of 10000, 20000"},
        {"slcan:/dev/ttyACM0,bus=can0", "unknown key bus=can0"},
        {"slcan:/dev/ttyACM0,tx=7E", "tx=7E is not a CAN identifier"},
        {"slcan:/dev/ttyACM0,tx=800", "tx=800 is not a CAN identifier"},
        {"slcan:/dev/ttyACM0,tx=20000000", "tx=20000000 is not a CAN identifier"},
        {"slcan:/dev/ttyACM0,tx=18DA10F1,rx=7E8", "rx=7E8 is not as wide as tx"},
        {"slcan:/dev/ttyACM0,tx=18DB33F1", "tx=18DB33F1 needs an rx key"},
        {"slcan:/dev/ttyACM0,pad=on", "pad=on is not a byte"},
        {"slcan:/dev/ttyACM0,stmin=128", "stmin=128 is not a whole number from 0 to 127"},
        {"slcan:/dev/ttyACM0,bs=256", "bs=256 is not a whole number from 0 to 255"},
        {"socketcand:pi.local:http", "pi.local:http is not HOST or HOST:PORT"},
        {"socketcand::29536", ":29536 is not HOST or HOST:PORT"},
        {"socketcand:pi.local:70000", "pi.local:70000 is not HOST or HOST:PORT"},
        {"socketcand:pi.local,bus=", "bus= is not a bus name"},
        {"socketcan:can0,bitrate=500000", "unknown key bitrate=500000"},
        {"doip", "'' is not HOST or HOST:PORT"},
        {"doip:car:", "'car:' is not HOST or HOST:PORT"},
        {"doip:[fe80::1", "'[fe80::1' is not HOST"},
        {"doip:car,ta=10", "ta=10 is not a logical address"},
        {"doip:car,sa=0E0G", "sa=0E0G is not a hexadecimal number"},
        {"doip:car,version=1", "version=1 is not a whole number from 2 to 3"},
        {"doip:car,activation=100", "activation=100 is not a byte"},
        {"doip:car,tx=7E0", "unknown key tx=7E0"},
        {"doip:car,diag=uds", "unknown key diag=uds"},
        {"doip:car,security=02", "security=02 is not an odd level"},
        {"slcan:/dev/x,diag=uds,security=02", "security=02 is not an odd level"},
        {"slcan:/dev/x,diag=uds,key=k", "key=k needs"},
        {"slcan:/dev/x,security=01", "security=01 needs diag=uds"},
        {"slcan:/dev/x,ext=10", "ext=10 needs the other one too"},
        {"elm:/dev/x,diag=uds", "diag=uds needs a CAN protocol, and protocol=kline-fast"},
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
