// SPDX-License-Identifier: MIT
#include "sim_test_support.h"

#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace vistrel {
namespace {

using testing::failure;
using testing::Outcome;
using testing::positive;
using testing::sendReceive;

constexpr std::string_view kEcu = R"(<ecu>
  <memory address="01A2B3">12 34 56 78</memory>
</ecu>)";

TEST(SimFaults, RuntimeFaultsApplyUntilCleared) {
    struct Case {
        std::function<void(SimulatedEcu&)> fault;
        const char* request;
        Outcome expected;
    };
    const Case cases[] = {
        {[](SimulatedEcu& ecu) { ecu.refuse(0x01A2B4, 1, 0x23, 0x22); }, "2301A2B302",
         failure("7F2322", 2033, "Execution conditions not set")},
        {[](SimulatedEcu& ecu) { ecu.refuse(0x01A2B3, 1, 0x2C, 0x80); }, "2CE0D001010001A2B3",
         failure("7F2C80", 2042, "Service Not Supported In Active Diagnostic Session")},
        {[](SimulatedEcu& ecu) { ecu.silence(0x01A2B6, 10); }, "2301A2B304",
         failure("", 2000, "No answer at due time")},
        {[](SimulatedEcu& ecu) { ecu.failSession(5, 0x10); }, "1081",
         failure("7F1010", 2044, "General Reject")},
    };
    for (const Case& c : cases) {
        const auto ecu = testing::ecuFrom(kEcu);
        const Outcome healthy = sendReceive(*ecu, c.request);
        ASSERT_EQ(healthy.error, 0) << c.request;
        c.fault(*ecu);
        EXPECT_EQ(sendReceive(*ecu, c.request), c.expected);
        ecu->clearFaults();
        EXPECT_EQ(sendReceive(*ecu, c.request), healthy);
    }
}

TEST(SimFaults, ClearingRemovesTheFaultsOfTheDescriptionToo) {
    const auto ecu = testing::ecuFrom(R"(<ecu>
      <memory address="000000">01 02</memory>
      <refuse address="000000"/>
      <silent address="000001"/>
      <init failures="3"/>
      <session failures="3"/>
    </ecu>)");
    EXPECT_EQ(sendReceive(*ecu, "2300000001").error, 2033);
    EXPECT_THROW(ecu->InitCommunication(), Error);
    ecu->clearFaults();
    EXPECT_NO_THROW(ecu->InitCommunication());
    EXPECT_EQ(sendReceive(*ecu, "10A0"), positive("50A0"));
    EXPECT_EQ(sendReceive(*ecu, "2300000002"), positive("630102"));
}

TEST(SimFaults, MayChangeWhileAnotherThreadExchanges) {
    const auto ecu = testing::ecuFrom(kEcu);
    std::atomic<bool> done{false};
    std::thread injector([&] {
        while (!done) {
            ecu->refuse(0x01A2B3, 1, 0x23, 0x22);
            ecu->silence(0x01A2B4, 1);
            ecu->clearFaults();
        }
    });
    for (int i = 0; i < 2000; ++i) {
        const Outcome outcome = sendReceive(*ecu, "2301A2B302");
        EXPECT_TRUE(outcome.error == 0 || outcome.error == 2033 || outcome.error == 2000)
            << outcome;
    }
    done = true;
    injector.join();
}

} // namespace
} // namespace vistrel
