// SPDX-License-Identifier: MIT
// The adapter link over a real pseudo-terminal, against the virtual adapter
// in front of the simulated ECU: bring-up in every bus mode, genuine and
// clone, every adapter message, and a restart in the middle of a session.
#include "components/error.h"
#include "components/error_numbers.h"
#include "fakes/adapter_test_ecu.h"
#include "fakes/error_of.h"
#include "link/elm_protocol.h"
#include "link/link_string.h"
#include "link/pseudo_terminal.h"
#include "sim/elm_adapter_service.h"

#include <atomic>
#include <gtest/gtest.h>
#include <ostream>
#include <thread>

namespace vistrel {
namespace {

// The virtual adapter served on the master side of a pty by a thread.
class AdapterBench {
public:
    explicit AdapterBench(bool clone, ElmQuirks quirks = {})
        : service_(parseEcuDescription(testing::kAdapterTestEcu, "test", "."), clone, quirks),
          server_([this] {
              testing::errorOf(
                  [this] { service_.serve(pty_.master(), [this] { return !stop_.load(); }); });
          }) {}
    ~AdapterBench() {
        stop_ = true;
        server_.join();
    }

    std::shared_ptr<ElmProtocol> link(const std::string& keys) {
        const std::string path = pty_.slavePath();
        auto settings = ElmSettings::fromLinkString(parseLinkString("elm:" + path + "," + keys));
        return std::make_shared<ElmProtocol>(settings,
                                             [path] { return openSerialDevice(path, 38400); });
    }
    ElmAdapterService& service() { return service_; }

private:
    PseudoTerminal pty_;
    ElmAdapterService service_;
    std::atomic<bool> stop_{false};
    std::thread server_;
};

// The reply's hexadecimal text, or the error's number and text.
std::string outcome(Protocol& link, const char* request) {
    ByteString reply;
    const auto e =
        testing::errorOf([&] { link.SendReceive(ByteString::fromText(request), reply); });
    return e ? std::to_string(e->number()) + " " + e->description() : reply.text();
}

struct BusCase {
    const char* protocol;
    bool clone;
    // The longest request the link lets through.
    int limit;
    bool fallbacks;
};

void PrintTo(const BusCase& c, std::ostream* os) {
    *os << c.protocol << (c.clone ? " clone" : "");
}

class ElmBuses : public ::testing::TestWithParam<BusCase> {};

TEST_P(ElmBuses, ReadShortAndMultiFrameReplies) {
    const BusCase& c = GetParam();
    AdapterBench bench(c.clone);
    const auto link = bench.link(std::string("protocol=") + c.protocol + ",timeout=50");
    link->InitCommunication();
    EXPECT_EQ(link->identity(), "ELM327 v1.5 (OBDII to RS232 Interpreter)");
    EXPECT_EQ(link->fallbacks().empty(), !c.fallbacks);
    EXPECT_EQ(outcome(*link, "2301A2B302"), "631234");
    EXPECT_EQ(outcome(*link, "2301A2B30A"), "63123456789ABCDEF01122");
    EXPECT_EQ(outcome(*link, "2CE0D001010001A2B3"),
              "2081 request too long for this adapter: 9 bytes, at most " +
                  std::to_string(c.limit));
    EXPECT_EQ(outcome(*link, "2301A2C002"), "2000 No answer at due time");
    EXPECT_EQ(outcome(*link, "2301000002").substr(0, 4), "2040");
    link->InitCommunication();
    EXPECT_EQ(outcome(*link, "2301A2B302"), "631234");
}

INSTANTIATE_TEST_SUITE_P(
    Link, ElmBuses,
    ::testing::Values(BusCase{"kline-fast", false, 8, false}, BusCase{"kline-fast", true, 7, true},
                      BusCase{"kline-5baud", false, 8, false},
                      BusCase{"can11-500", false, 7, false}, BusCase{"can11-250", true, 7, false},
                      BusCase{"can29-500", false, 7, false}, BusCase{"can29-250", true, 7, false}));

TEST(ElmLink, EveryAdapterMessageIsClearAndTheNextExchangeWorks) {
    using namespace adapter_error;
    const std::pair<const char*, std::int32_t> failures[] = {
        {"?", kNotUnderstood},         {"BUS INIT: ...ERROR", kBusInit},
        {"BUS INIT: ERROR", kBusInit}, {"UNABLE TO CONNECT", kUnableToConnect},
        {"BUFFER FULL", kBufferFull},  {"CAN ERROR", kCanError},
        {"BUS BUSY", kBusBusy},        {"STOPPED", kStopped},
        {"<RX ERROR", kRxError},       {"FB ERROR", kOther},
    };
    AdapterBench bench(false);
    const auto link = bench.link("protocol=can11-500,timeout=50");
    link->InitCommunication();
    const auto expect = [&](const char* words, bool thenReply, const std::string& expected) {
        SCOPED_TRACE(words);
        bench.service().sayOnNextRequest(words, thenReply);
        const std::string failed = outcome(*link, "2301A2B302");
        EXPECT_TRUE(failed.starts_with(expected)) << failed;
        EXPECT_EQ(outcome(*link, "2301A2B302"), "631234");
    };
    // First, since a "?" to the first counted request refuses the count.
    expect("NO DATA", false, "2000 No answer at due time");
    for (const auto& [words, number] : failures) {
        expect(words, false, std::to_string(number) + " adapter says \"" + words + "\"");
    }
    expect("SEARCHING...", true, "631234");
    expect("BUS INIT: ...OK", true, "631234");
}

TEST(ElmLink, QuirksOfRealAdaptersAndEcusStillGiveTheValues) {
    struct Case {
        const char* quirk;
        const char* protocol;
        bool clone;
    };
    const Case cases[] = {
        {"nul", "kline-fast", false},
        {"echo", "kline-fast", false},
        {"pending:1", "kline-fast", false},
        {"pending:3", "kline-fast", true},
        {"pending:2", "can11-500", false},
        {"bus-init-stopped", "kline-fast", false},
        // Without ATFI the first request wakes the bus, and the reply
        // follows "BUS INIT: ...OK" on its line.
        {"bus-init-stopped", "kline-fast", true},
        {"data-error:2", "kline-fast", false},
        {"lower-case", "kline-fast", false},
        {"lower-case", "can11-500", false},
        {"stopped", "kline-fast", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.quirk) + " " + c.protocol + (c.clone ? " clone" : ""));
        AdapterBench bench(c.clone, applyElmQuirk({}, c.quirk).value());
        const auto link = bench.link(std::string("protocol=") + c.protocol + ",timeout=50");
        link->InitCommunication();
        const bool dataErrors = std::string_view(c.quirk).starts_with("data-error");
        for (int read = 1; read <= 4; ++read) {
            const std::string got = outcome(*link, "2301A2B302");
            if (dataErrors && read % 2 == 0) {
                EXPECT_TRUE(got.starts_with("2084 adapter says \"<DATA ERROR\"")) << got;
            } else {
                EXPECT_EQ(got, "631234") << "read " << read;
            }
        }
    }
}

TEST(ElmLink, RestartIsNoticedAndTheNextOpeningBringsTheAdapterUp) {
    AdapterBench bench(false);
    const auto link = bench.link("protocol=kline-fast,timeout=50");
    link->InitCommunication();
    // In the middle of an exchange, then between two.
    bench.service().rebootOnNextRequest();
    EXPECT_EQ(outcome(*link, "2301A2B302"), "2079 adapter restarted");
    EXPECT_EQ(outcome(*link, "2301A2B302"), "2079 adapter restarted");
    link->InitCommunication();
    EXPECT_EQ(outcome(*link, "2301A2B302"), "631234");
    bench.service().reboot();
    EXPECT_EQ(outcome(*link, "2301A2B302"), "2079 adapter restarted");
    link->InitCommunication();
    EXPECT_EQ(outcome(*link, "2301A2B302"), "631234");
}

} // namespace
} // namespace vistrel
