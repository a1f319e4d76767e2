// SPDX-License-Identifier: MIT
// A UDS ECU on the CAN wire: its answers in ISO-TP frames, its periodic
// identifiers one unsegmented frame each, and the faults only UDS has, on the
// carrier's clock.
#include "link/isotp_frame.h"
#include "sim/ecu_description.h"
#include "sim/isotp_ecu.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vistrel {
namespace {

constexpr std::string_view kEcu = R"(<ecu diag="uds" addressSize="1">
  <memory address="A0">11 22 33 44 55 66 77 88</memory>
  <lock address="A7" level="01"/>
  <uds fastMs="10"/>
</ecu>)";

// Steps: "REQ>FRAMES" sends the request in ISO-TP frames and expects the
// frames that come due at once ("ID:HEX" joined by ","; "-" for none);
// "@>FRAMES" only looks; "+N" lets N ms pass.
std::string run(const std::vector<std::string>& faults, const IsoTpEcuSettings& base,
                std::string_view steps) {
    IsoTpEcuSettings settings = base;
    for (const std::string& fault : faults) {
        settings.faults.push_back(*parseWireFault(fault));
    }
    IsoTpEcu ecu(parseEcuDescription(kEcu, "test.xml", "."), settings);
    isotp::Addressing tester;
    tester.id = settings.requestId;
    tester.address = settings.requestAddress;
    auto now = std::chrono::steady_clock::time_point(std::chrono::hours(1));
    std::istringstream words{std::string(steps)};
    for (std::string word; words >> word;) {
        if (word[0] == '+') {
            now += std::chrono::milliseconds(std::stoi(word.substr(1)));
            continue;
        }
        const auto arrow = word.find('>');
        const std::string request = word.substr(0, arrow);
        if (request != "@") {
            const ByteString bytes = ByteString::fromText(request);
            const auto room = isotp::roomOf(tester.address.has_value());
            if (bytes.length() <= room.single) {
                ecu.receive(isotp::singleFrame(tester, bytes.bytes()), now);
            } else {
                // A longer request: its first frame, the ECU's flow control
                // (not shown), then the rest in consecutive frames.
                ecu.receive(isotp::firstFrame(tester, bytes.bytes()), now);
                ecu.due(now);
                std::uint8_t number = 1;
                for (std::size_t at = room.first; at < bytes.length(); at += room.consecutive) {
                    ecu.receive(
                        isotp::consecutiveFrame(tester, number++, bytes.bytes().subspan(at)), now);
                }
            }
        }
        std::string got;
        for (const CanFrame& frame : ecu.due(now)) {
            got += (got.empty() ? "" : ",") + hexPadded(frame.id, 3) + ":" +
                   ByteString(std::vector(frame.data.begin(), frame.data.begin() + frame.length))
                       .text();
        }
        if (got != (word.substr(arrow + 1) == "-" ? "" : word.substr(arrow + 1))) {
            return word + " got " + got;
        }
    }
    return "";
}

TEST(UdsOnCan, AnswersAndPeriodicFrames) {
    IsoTpEcuSettings ownId;
    ownId.periodicId = 0x5E8;
    IsoTpEcuSettings addressed;
    addressed.requestAddress = 0xF1;
    addressed.replyAddress = 0x10;
    const struct {
        const char* name;
        std::vector<std::string> faults;
        IsoTpEcuSettings settings;
        const char* steps;
    } cases[] = {
        {"SuppressedReplyIsNoFrame",
         {},
         {},
         "1003>7E8:065003003201F4AA 3E80>- 3E00>7E8:027E00AAAAAAAAAA"},
        {"PeriodicOnTheAnswerId",
         {},
         {},
         "1003>7E8:065003003201F4AA 2C02F24011A002>7E8:046C02F240AAAAAA "
         "2A0340>7E8:016AAAAAAAAAAAAA,7E8:401122AAAAAAAAAA +10 @>7E8:401122AAAAAAAAAA "
         "2A04>7E8:016AAAAAAAAAAAAA +10 @>-"},
        {"PeriodicOnAnIdOfItsOwn",
         {"no-padding"},
         ownId,
         "1003>7E8:065003003201F4 2C02F20111A601>7E8:046C02F201 2A0301>7E8:016A,5E8:0177"},
        {"BusyThenTheAnswer",
         {"nrc:21:2"},
         {},
         "1003>7E8:065003003201F4AA 22F186>7E8:037F2221AAAAAAAA 22F186>7E8:0462F18603AAAAAA"},
        {"ExtendedAddressing",
         {},
         addressed,
         "1003>7E8:10065003003201F4 2C02F24011A006>7E8:10046C02F240AAAA "
         "2C02F24111A007>7E8:10046C02F241AAAA 2A0340>7E8:10016AAAAAAAAAAA,"
         "7E8:1040112233445566 2A0341>7E8:10037F2A31AAAAAA"},
        {"SeedDelay", {"nrc:37:1"}, {}, "1003>7E8:065003003201F4AA 2701>7E8:037F2737AAAAAAAA"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.faults, c.settings, c.steps), "") << c.name;
    }
}

} // namespace
} // namespace vistrel
