// SPDX-License-Identifier: MIT
// The keys of the diagnostic family and of extended addressing: what they
// set and how they are written back. (Their usage errors are rows of the
// link string test.)

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

} // namespace
} // namespace vistrel
