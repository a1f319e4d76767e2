// SPDX-License-Identifier: MIT
// The doip: link against the real vistrel-ecu --doip on loopback: every fault
// the entity can show fails one exchange with its own error, and after the
// next opening the exchanges work again; refused activations say why.

#include "components/error_numbers.h"
#include "connect/link_factory.h"
#include "fakes/ecu_process.h"
#include "fakes/error_of.h"

#include <gtest/gtest.h>
#include <tuple>

namespace vistrel {
namespace {

using testing::EcuProcess;

// Generous waits for a busy machine; the faults that time out wait only the
// acknowledgement's 400 ms.
constexpr const char* kTestKeys = ",p2max=2000,timeout=400";
// The extended session, then 32 bytes of live data by address.
const ByteString kSession = {0x10, 0x03};
const ByteString kRead = {0x23, 0x13, 0x01, 0xA0, 0x00, 0x20};

std::shared_ptr<Protocol> openLink(const EcuProcess& ecu, const std::string& keys = kTestKeys) {
    const auto link = makeLink("doip:" + ecu.device() + keys);
    link->InitCommunication();
    return link;
}

// The error of one exchange, or none when it works and reads the memory.
std::optional<Error> failure(Protocol& link, const ByteString& request) {
    return testing::errorOf([&] {
        ByteString reply;
        link.SendReceive(request, reply);
        EXPECT_EQ(reply.byte(0), request.byte(0) + 0x40);
        EXPECT_EQ(reply.length(), request == kSession ? 6U : 33U);
    });
}

TEST(DoipWire, EachFaultFailsOneExchangeAndTheNextOpeningWorks) {
    // The entity's faults hit every second diagnostic message of a
    // connection: the read after the session request.
    const std::tuple<const char*, std::int32_t, const char*> cases[] = {
        {"nack:03", doip_error::kNegativeAck, "unknown target address"},
        {"nack:06", doip_error::kNegativeAck, "target unreachable"},
        {"nack:99", doip_error::kNegativeAck, "code 99"},
        {"no-ack", doip_error::kNoAck, "did not acknowledge the request within 400 ms"},
        {"slow-ack:600", doip_error::kNoAck, "within 400 ms"},
        {"slow-ack:50", 0, ""},
        {"alive-check", 0, ""},
        {"split", 0, ""},
        {"close:2", link_error::kDeviceLost, "the entity closed the connection"},
    };
    for (const auto& [fault, number, text] : cases) {
        EcuProcess ecu({"--fault", fault}, "--doip");
        const auto link = openLink(ecu);
        EXPECT_FALSE(failure(*link, kSession)) << fault;
        const auto error = failure(*link, kRead);
        EXPECT_EQ(error ? error->number() : 0, number) << fault;
        if (error) {
            EXPECT_NE(error->description().find(text), std::string::npos) << error->description();
        }
        // What the cycle does after a failed read.
        link->InitCommunication();
        const auto after = failure(*link, kRead);
        EXPECT_FALSE(after) << fault << ": " << after->description();
    }
}

TEST(DoipWire, RefusedActivationsSayWhy) {
    const std::pair<const char*, const char*> cases[] = {
        {"activation:00", "unknown source address 0E00 — give the tester address"},
        {"activation:01", "all connections of the entity are taken"},
        {"activation:04", "authentication missing"},
        {"activation:06", "unsupported routing activation type"},
        {"activation:42", "refused: code 42"},
    };
    for (const auto& [fault, text] : cases) {
        EcuProcess ecu({"--fault", fault}, "--doip");
        const auto error = testing::errorOf([&] { openLink(ecu); });
        ASSERT_TRUE(error) << fault;
        EXPECT_EQ(error->number(), doip_error::kActivationRefused);
        EXPECT_NE(error->description().find(text), std::string::npos) << error->description();
    }
    // Confirmation required: the final answer follows.
    EcuProcess confirming({"--fault", "activation:11"}, "--doip");
    EXPECT_FALSE(failure(*openLink(confirming), kSession));
}

// The ECU's address comes from the activation unless ta names another one,
// which this entity does not know.
TEST(DoipWire, AddressesAndVersions) {
    EcuProcess ecu({"--address", "1A01"}, "--doip");
    EXPECT_EQ(openLink(ecu)->subtitle(), ecu.device() + ", 0E00 → 1A01");
    EXPECT_FALSE(failure(*openLink(ecu, ",version=3,sa=0E80"), kSession));
    const auto wrong = failure(*openLink(ecu, ",ta=1A02"), kSession);
    ASSERT_TRUE(wrong);
    EXPECT_NE(wrong->description().find("for ECU 1A02: unknown target address"), std::string::npos)
        << wrong->description();
    // An entity of one edition refuses the other's messages: the link tries
    // the other version once, says so, and stays with it.
    for (const char* version : {"2", "3"}) {
        EcuProcess only({"--fault", std::string("version:") + version}, "--doip");
        const auto link = openLink(only, std::string(",version=") + (*version == '2' ? "3" : "2"));
        EXPECT_FALSE(failure(*link, kSession)) << version;
        EXPECT_EQ(link->linkNotes(),
                  std::vector<std::string>{std::string("DoIP: the entity refused version ") +
                                           (*version == '2' ? "3" : "2") +
                                           " messages; the link speaks version " + version});
    }
}

// A second tester takes the entity over when the first does not answer the
// alive check; the first then finds its connection gone, and gets it back on
// its next opening.
TEST(DoipWire, SecondTesterTakesOverASilentFirst) {
    EcuProcess ecu({}, "--doip");
    // The entity gives the first tester half a second to answer.
    const auto first = openLink(ecu, ",timeout=2000");
    const auto second = openLink(ecu, ",timeout=2000");
    EXPECT_FALSE(failure(*second, kSession));
    const auto lost = failure(*first, kSession);
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->number(), link_error::kDeviceLost);
}

} // namespace
} // namespace vistrel
