// SPDX-License-Identifier: MIT
// The keys of the diagnostic family and of extended addressing: what they
// set, how they are written back, and the usage errors that name them.

#include "connect/link_factory.h"
#include "link/can_settings.h"
#include "link/elm_settings.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

// What the keys set, that they are written back as read, and what the link
// then offers.
TEST(DiagnosticKeys, WhatEachKeySetsWrittenBack) {
    const char* texts[] = {
        "socketcand:h:4000,ext=10,rxext=F1,diag=uds,security=11,key=/opt/k,rate=slow,prx=5E8",
        "socketcan:can0,tx=18DA10F1,diag=uds",
        "elm:/dev/rfcomm0,protocol=can11-500,diag=uds,security=01,key=k",
    };
    for (const char* text : texts) {
        const LinkString linkString = parseLinkString(text);
        EXPECT_EQ(linkString.kind == "elm" ? toLinkString(ElmSettings::fromLinkString(linkString))
                                           : toLinkString(CanSettings::fromLinkString(linkString)),
                  text);
    }
    const CanSettings c = CanSettings::fromLinkString(parseLinkString(texts[0]));
    EXPECT_EQ(std::tuple(*c.diagnostic.securityLevel, c.diagnostic.periodicRate, *c.isotp.address,
                         *c.isotp.rxAddress, *c.isotp.periodicId),
              std::tuple(0x11, 1, 0x10, 0xF1, 0x5E8U));
    // Periodic frames on the response id unless told otherwise.
    EXPECT_EQ(CanSettings::fromLinkString(parseLinkString(texts[1])).isotp.periodicId, 0x18DAF110U);
    const auto uds = makeLink(texts[0]);
    EXPECT_EQ(uds->family(), DiagnosticFamily::Uds);
    EXPECT_TRUE(uds->periodicSource()->periodicIdOfItsOwn());
    EXPECT_EQ(uds->periodicSource()->periodicDataBytes(), 6U);
    EXPECT_EQ(makeLink(texts[2])->periodicSource(), nullptr);
}

TEST(DiagnosticKeys, UsageErrorsNameTheKeys) {
    const std::pair<const char*, const char*> cases[] = {
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

} // namespace
} // namespace vistrel
