// SPDX-License-Identifier: MIT
// The keys of the diagnostic family and of extended addressing: what they
// set, how they are written back, and the usage errors that name them.

#include "connect/link_factory.h"
#include "link/can_settings.h"
#include "link/elm_settings.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

TEST(DiagnosticKeys, WhatEachKeySets) {
    const auto can = [](const char* text) {
        const CanSettings c = CanSettings::fromLinkString(parseLinkString(text));
        const IsoTpSettings& i = c.isotp;
        const DiagnosticSettings& d = c.diagnostic;
        return std::tuple(d.isUds(), d.securityLevel.value_or(0), d.keyProgram, d.periodicRate,
                          i.address.value_or(0), i.rxAddress.value_or(0), i.periodicId.value_or(0));
    };
    EXPECT_EQ(can("slcan:/dev/ttyACM0"), std::tuple(false, 0, "", 3, 0, 0, 0U));
    EXPECT_EQ(can("socketcand:h,diag=uds"), std::tuple(true, 0, "", 3, 0, 0, 0x7E8U));
    EXPECT_EQ(can("socketcand:h,ext=10,rxext=f1,diag=uds,security=11,key=/opt/k,rate=slow,"
                  "prx=5E8"),
              std::tuple(true, 0x11, "/opt/k", 1, 0x10, 0xF1, 0x5E8U));
    EXPECT_EQ(can("socketcan:can0,ext=10,rxext=F1"), std::tuple(false, 0, "", 3, 0x10, 0xF1, 0U));
    const ElmSettings elm = ElmSettings::fromLinkString(
        parseLinkString("elm:/dev/rfcomm0,protocol=can11-500,diag=uds,security=01"));
    EXPECT_TRUE(elm.diagnostic.isUds());
    EXPECT_EQ(elm.diagnostic.securityLevel, 0x01);
}

TEST(DiagnosticKeys, WrittenBackAndUsedByTheLink) {
    const char* texts[] = {
        "slcan:/dev/ttyACM0,ext=10,rxext=F1",
        "socketcand:h:4000,diag=uds,security=03,key=vistrel-seedkey,rate=medium,prx=5E8",
        "socketcan:can0,tx=18DA10F1,ext=10,rxext=F1,diag=uds,prx=18DAF2F1",
        "elm:/dev/rfcomm0,protocol=can11-500,diag=uds,security=01,key=k",
    };
    for (const char* text : texts) {
        const LinkString linkString = parseLinkString(text);
        EXPECT_EQ(linkString.kind == "elm" ? toLinkString(ElmSettings::fromLinkString(linkString))
                                           : toLinkString(CanSettings::fromLinkString(linkString)),
                  text);
    }
    const auto uds = makeLink("socketcand:h,diag=uds,prx=5E8");
    EXPECT_EQ(uds->family(), DiagnosticFamily::Uds);
    ASSERT_NE(uds->periodicSource(), nullptr);
    EXPECT_TRUE(uds->periodicSource()->periodicIdOfItsOwn());
    EXPECT_EQ(uds->periodicSource()->periodicDataBytes(), 7U);
    EXPECT_EQ(
        makeLink("socketcand:h,diag=uds,ext=1,rxext=2")->periodicSource()->periodicDataBytes(), 6U);
    EXPECT_EQ(makeLink("slcan:/dev/x")->periodicSource(), nullptr);
    EXPECT_EQ(makeLink("elm:/dev/x,protocol=can11-500,diag=uds")->periodicSource(), nullptr);
    EXPECT_EQ(makeLink("elm:/dev/x,protocol=can11-500,diag=uds")->family(), DiagnosticFamily::Uds);
}

TEST(DiagnosticKeys, UsageErrorsNameTheKeys) {
    const std::pair<const char*, const char*> cases[] = {
        {"slcan:/dev/x,diag=obd", "diag=obd is not one of kwp, uds"},
        {"slcan:/dev/x,diag=uds,security=02", "security=02 is not an odd level"},
        {"slcan:/dev/x,diag=uds,security=7F", "security=7F is not an odd level"},
        {"slcan:/dev/x,diag=uds,key=k", "key=k needs"},
        {"slcan:/dev/x,security=01", "security=01 needs diag=uds"},
        {"slcan:/dev/x,rate=fast", "rate=fast needs diag=uds"},
        {"slcan:/dev/x,diag=uds,rate=turbo", "rate=turbo is not one of slow, medium, fast"},
        {"slcan:/dev/x,prx=5E8", "prx=5E8 needs diag=uds"},
        {"slcan:/dev/x,diag=uds,prx=18DAF1F2", "prx=18DAF1F2 is not as wide as tx"},
        {"slcan:/dev/x,ext=10", "ext=10 needs the other one too"},
        {"slcan:/dev/x,ext=10,rxext=100", "rxext=100 is not a byte"},
        {"elm:/dev/x,diag=uds", "diag=uds needs a CAN protocol, and protocol=kline-fast"},
        {"elm:/dev/x,protocol=can11-500,diag=uds,rate=slow", "unknown key rate=slow"},
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

} // namespace
} // namespace vistrel
