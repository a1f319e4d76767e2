// SPDX-License-Identifier: MIT
// The UDS responder as a tester meets it: each case a script of requests and
// the replies they must get, on the responder's own clock.
#include "sim/ecu_description.h"
#include "sim/seed_key.h"
#include "sim/uds_responder.h"

#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace vistrel {
namespace {

constexpr std::string_view kEcu = R"(<ecu diag="uds" addressSize="3">
  <memory address="01A000">11 22 33 44 55 66 77 88 99 AA</memory>
  <memory address="01B000">C0 FF EE 00</memory>
  <lock address="01B000" length="4" level="01"/>
  <memory address="030000">AA BB</memory>
  <silent address="030001"/>
  <refuse address="01A008" service="2C" nrc="22"/>
  <uds maxIdentifiers="3" maxElements="3" limitNrc="13" maxPeriodic="2" attempts="2"
       delayMs="1000" slowMs="1000" mediumMs="100" fastMs="10"/>
</ecu>)";

struct Script {
    const char* name;
    // Steps: "REQ=REPLY" (hex; "-" for no reply), the request may be spread
    // over several words; "REQ*=REPLY" sends REQ with the toy key of the last
    // seed appended; "+N" lets N ms pass; "@=F1,F2" expects the periodic
    // frames due now ("-" for none).
    const char* steps;
    std::function<void(EcuFaults&)> faults = {};
    std::size_t periodicBytes = 7;
};

// Runs a script on a fresh ECU and tells the first step whose reply differs.
std::string run(const Script& script) {
    UdsResponder ecu(parseEcuDescription(kEcu, "test.xml", "."), script.periodicBytes);
    if (script.faults) {
        script.faults(ecu.faults());
    }
    auto now = std::chrono::steady_clock::time_point(std::chrono::hours(1));
    ecu.setClock([&now] { return now; });
    std::vector<std::uint8_t> seed;
    std::istringstream words{std::string(script.steps)};
    std::string request;
    for (std::string word; words >> word;) {
        const auto equals = word.find('=');
        if (word[0] == '+') {
            now += std::chrono::milliseconds(std::stoi(word.substr(1)));
            continue;
        }
        request += word.substr(0, equals);
        if (equals == std::string::npos) {
            continue;
        }
        const std::string expected = word.substr(equals + 1);
        std::string got;
        if (request == "@") {
            for (const ByteString& frame : ecu.periodicFrames()) {
                got += (got.empty() ? "" : ",") + frame.text();
            }
        } else {
            ByteString keyed = ByteString::fromText(request.substr(0, request.find('*')));
            if (request.ends_with('*')) {
                for (const std::uint8_t byte : toyKey(keyed.byte(1) - 1, seed)) {
                    keyed.append(byte);
                }
            }
            ByteString reply;
            ecu.answer(keyed.bytes(), reply);
            got = reply.text();
            if (reply.length() > 2 && reply.byte(0) == 0x67 && reply.byte(1) % 2 == 1) {
                seed.assign(reply.bytes().begin() + 2, reply.bytes().end());
            }
        }
        if (got != (expected == "-" ? "" : expected)) {
            return request + " got " + (got.empty() ? "-" : got);
        }
        request.clear();
    }
    return "";
}

TEST(UdsServices, AnswerAsAnEcuWould) {
    const Script scripts[] = {
        {"Sessions", "1003=5003003201F4 1081=- 22F186=62F18601 1083=- 22F186=62F18603 "
                     "10A0=7F1012 10=7F1013 1002=7F1022 1001=5001003201F4 1002=7F107E"},
        {"ExtendedSessionNeeded", "2313 01A000 01=7F237F 2C03=7F2C7F 2A04=7F2A7F 2701=7F277F"},
        {"S3FallsBackToDefault", "1003=5003003201F4 +4900 3E80=- +4900 3E00=7E00 +5001 "
                                 "2313 01A000 01=7F237F 22F186=62F18601"},
        {"UnknownService", "3101=7F3111 =7F0013 3E01=7F3E12 3E0000=7F3E13"},
        {"ReadMemory",
         "1003=5003003201F4 2313 01A000 01=6311 2313 01A001 02=632233 "
         "2324 0001A000 0003=63112233 2313 01A009 02=7F2331 2313 01A000 00=7F2331 "
         "2315 01A000 01=7F2331 2313 01A000=7F2313 2313 030000 02=- 2313 01B000 01=7F2333"},
        {"DefineAndRead",
         "1003=5003003201F4 2C02F200 13 01A000 02 01A004 01=6C02F200 22F200=62F200112255 "
         "2C02F200 13 01A009 01=6C02F200 22F200=62F200112255AA 22F200F201=62F200112255AA "
         "22F201=7F2231 22F2=7F2213 2C03F200=6C03F200 22F200=7F2231 2C03F200=6C03F200"},
        {"DefinitionRefusals",
         "1003=5003003201F4 2C01F200F18601=7F2C12 2C02F200 13 01A000=7F2C13 "
         "2C02E200 13 01A000 01=7F2C31 2C02F200 FF 01A000 01=7F2C31 "
         "2C02F200 13 0FFFFF 01=7F2C31 2C02F200 13 01A008 01=7F2C22 "
         "2C02F200 13 01B000 01=7F2C33 "
         "2C02F200 13 01A000 01 01A001 01 01A002 01 01A003 01=7F2C13 22F200=7F2231 "
         "2C82F200 13 01A000 01=- 2C02F201 13 01A000 01=6C02F201 "
         "2C02F202 13 01A000 01=6C02F202 2C02F203 13 01A000 01=7F2C13 2C03=6C03 "
         "2C02F203 13 01A000 01=6C02F203"},
        {"SecurityAccess",
         "1003=5003003201F4 2703=7F2712 2702=7F2724 2701=6701EE4CC185 2701=6701EE4CC185 "
         "2702*=6702 2701=670100000000 2313 01B000 01=63C0 1003=5003003201F4 "
         "2313 01B000 01=7F2333 2701=67018728364F 270200=7F2713 2781=7F2712 270101=7F2713"},
        {"TooManyInvalidKeys",
         "1003=5003003201F4 2701=6701EE4CC185 270200000000=7F2735 2702*=7F2724 "
         "2701=67018728364F 270200000000=7F2736 2701=7F2737 +1001 2701=67013884FE48 "
         "2702*=6702"},
        {"NewSeedEveryRequest", "1003=5003003201F4 2701=6701EE4CC185 2701=67018728364F 2702*=6702",
         [](EcuFaults& f) { f.newSeedEveryRequest = true; }},
        {"SeedDelayEverySecondRequest",
         "1003=5003003201F4 2701=6701EE4CC185 2701=7F2737 2701=6701EE4CC185",
         [](EcuFaults& f) { f.seedDelayEvery = 2; }},
        {"PeriodicTransmission",
         "1003=5003003201F4 2C02F240 13 01A000 02=6C02F240 2C02F241 13 01A002 01=6C02F241 "
         "2A0340=6A @=401122 +5 @=- +5 @=401122 2A024199=6A @=4133 +10 @=401122 "
         "+90 @=401122,4133 2A0440=6A +100 @=4133 2A04=6A +1000 @=-"},
        {"PeriodicRefusals",
         "1003=5003003201F4 2C02F240 13 01A000 08=6C02F240 2A0340=7F2A31 2A0399=7F2A31 "
         "2A05=7F2A31 2A03=7F2A13 2A=7F2A13 2C03=6C03 2C02F241 13 01A000 01=6C02F241 "
         "2C02F242 13 01A000 01=6C02F242 2C02F243 13 01A000 01=6C02F243 2A034142=6A "
         "2A034243=7F2A31 2A0441=6A 2A034243=6A"},
        {"PeriodicFrameOfSixBytes",
         "1003=5003003201F4 2C02F240 13 01A000 07=6C02F240 2A0340=7F2A31",
         {},
         6},
        {"PeriodicStopsWithTheSession",
         "1003=5003003201F4 2C02F240 13 01A000 01=6C02F240 2A0140=6A @=4011 +5001 @=- "
         "22F240=7F2231"},
        {"PeriodicIdentifierThatStops",
         "1003=5003003201F4 2C02F240 13 01A000 01=6C02F240 2C02F241 13 01A002 01=6C02F241 "
         "2A034041=6A @=4011,4133 +10 @=4011,4133 +10 @=4133",
         [](EcuFaults& f) { f.periodicStopsAfter = 2; }},
    };
    for (const Script& script : scripts) {
        EXPECT_EQ(run(script), "") << script.name;
    }
}

} // namespace
} // namespace vistrel
