// SPDX-License-Identifier: MIT
// The K-line protocol object on a fake line with a fake clock: the wake-up
// patterns, framing in the ECU's header form, echo, timing, and every way a
// reply can go wrong followed by a good exchange.

#include "components/error.h"
#include "fakes/error_of.h"
#include "fakes/fake_line.h"
#include "link/kline_protocol.h"

#include <deque>
#include <gtest/gtest.h>
#include <tuple>

namespace vistrel {
namespace {

using testing::FakeLine;
using Bytes = std::vector<std::uint8_t>;
using Kind = FakeLine::Event::Kind;
using std::chrono::milliseconds;

Bytes frame(const Bytes& data, std::uint8_t target = 0xF1, std::uint8_t source = 0x10) {
    Bytes out;
    encodeKLineFrame(out, KLineHeaderForm{}, target, source, data);
    return out;
}

// The link on a fake line, with an ECU behind it that answers each whole
// request frame with the next scripted bytes, P2 (25 ms) after the request's
// last byte.
struct Rig {
    explicit Rig(KLineSettings settings = {}, bool echoes = true) {
        settings.device = "/dev/fake";
        line->echoes = echoes;
        line->device = [this](FakeLine& l, std::span<const std::uint8_t> bytes) {
            for (const auto byte : bytes) {
                if (reader.push(byte) == KLineFrameReader::Status::NeedMore) {
                    continue;
                }
                requests.emplace_back(reader.bytes().begin(), reader.bytes().end());
                reader.reset();
                if (!answers.empty()) {
                    l.arrive(answers.front(), l.now() + milliseconds(25));
                    answers.pop_front();
                }
            }
        };
        link = std::make_shared<KLineProtocol>(
            settings, [owned = line]() mutable { return std::unique_ptr<ByteLine>(owned); });
    }
    Bytes send(const Bytes& request) {
        ByteString reply;
        link->SendReceive(ByteString(request), reply);
        return Bytes(reply.bytes().begin(), reply.bytes().end());
    }
    std::int32_t failure(const Bytes& request) {
        const auto error = testing::errorOf([&] { send(request); });
        return error ? error->number() : 0;
    }

    FakeLine* line = new FakeLine;
    std::deque<Bytes> answers;
    std::vector<Bytes> requests;
    KLineFrameReader reader;
    std::shared_ptr<KLineProtocol> link;
};

const Bytes kRead = {0x23, 0x01, 0xA2, 0xB3, 0x02};
const Bytes kValue = {0x63, 0x12, 0x34};

KLineSettings noWakeUp() {
    KLineSettings settings;
    settings.init = KLineInit::None;
    return settings;
}

// The wake-up pattern, then requests paced and framed in the header form
// that the key bytes offer, in a session that outlives short pauses.
TEST(KLineProtocol, FastInitPatternThenPacedRequests) {
    const std::pair<std::uint8_t, Bytes> cases[] = {
        {0xEF, frame(kRead, 0x10, 0xF1)},
        // Only the one-byte header: no address bytes.
        {0xE5, {0x05, 0x23, 0x01, 0xA2, 0xB3, 0x02, 0x80}},
        // Addresses and a length byte only.
        {0x6A, {0x80, 0x10, 0xF1, 0x05, 0x23, 0x01, 0xA2, 0xB3, 0x02, 0x01}},
    };
    for (const auto& [kb1, sent] : cases) {
        SCOPED_TRACE(int(kb1));
        Rig rig;
        rig.answers = {frame({0xC1, kb1, 0x8F}), frame(kValue)};
        const auto opened = rig.line->now();
        rig.link->InitCommunication();

        const auto low = rig.line->only(Kind::BreakOn);
        const auto high = rig.line->only(Kind::BreakOff);
        ASSERT_EQ(low.size(), 1U);
        ASSERT_EQ(high.size(), 1U);
        EXPECT_GE(low[0].at - opened, milliseconds(300));
        EXPECT_EQ(high[0].at - low[0].at, milliseconds(25));
        EXPECT_EQ(rig.line->only(Kind::Write).at(0).at - low[0].at, milliseconds(50));
        EXPECT_EQ(rig.requests.at(0), (Bytes{0x81, 0x10, 0xF1, 0x81, 0x03}));
        EXPECT_EQ(rig.link->keyBytes(), std::make_pair(kb1, std::uint8_t{0x8F}));

        const auto replied = rig.line->now();
        EXPECT_EQ(rig.send(kRead), kValue);
        EXPECT_EQ(rig.requests.at(1), sent);
        // P3min after the reply, then one byte every P4min.
        const auto request = rig.line->only(Kind::Write);
        const auto first = request.size() - sent.size();
        EXPECT_GE(request[first].at - replied, milliseconds(55));
        for (auto i = first + 1; i < request.size(); ++i) {
            EXPECT_EQ(request[i].at - request[i - 1].at, milliseconds(5));
        }

        // The session is kept over a short pause and renewed after a long one.
        rig.answers = {frame({0xC1, kb1, 0x8F})};
        rig.line->waitUntil(rig.line->now() + milliseconds(100));
        rig.link->InitCommunication();
        EXPECT_EQ(rig.line->only(Kind::BreakOn).size(), 1U);
        rig.line->waitUntil(rig.line->now() + std::chrono::seconds(10));
        rig.link->InitCommunication();
        EXPECT_EQ(rig.line->only(Kind::BreakOn).size(), 2U);
        EXPECT_EQ(rig.requests.size(), 3U);
    }
}

TEST(KLineProtocol, NoWakeUpWhenInitIsNoneAndEchoIsFoundOut) {
    for (const bool echoes : {true, false}) {
        Rig rig(noWakeUp(), echoes);
        rig.answers = {frame(kValue), frame(kValue)};
        rig.link->InitCommunication();
        EXPECT_EQ(rig.send(kRead), kValue) << echoes;
        EXPECT_EQ(rig.send(kRead), kValue) << echoes;
        EXPECT_TRUE(rig.line->only(Kind::BreakOn).empty());
        EXPECT_EQ(rig.requests, std::vector<Bytes>(2, frame(kRead, 0x10, 0xF1)));
    }
}

struct FaultCase {
    const char* name;
    std::vector<Bytes> answers;
    std::int32_t error;
    KLineEcho echo = KLineEcho::Auto;
    bool lineEchoes = true;
};

TEST(KLineProtocol, EachFaultIsOneFailedExchangeAndTheNextOneWorks) {
    const FaultCase cases[] = {
        {"no answer", {}, 2000},
        {"bad checksum", {{0x83, 0xF1, 0x10, 0x63, 0x12, 0x34, 0x00}}, 2050},
        {"foreign address", {frame(kValue, 0xF1, 0x33)}, 2051},
        {"garbage", {{0x55, 0x55, 0x55}}, 2052},
        {"reply cut short", {{0x83, 0xF1, 0x10, 0x63}}, 2052},
        {"zero length", {{0x80, 0xF1, 0x10, 0x00}}, 2052},
        {"no echo on an echo cable", {frame(kValue)}, 2053, KLineEcho::On, false},
    };
    for (const auto& c : cases) {
        KLineSettings settings = noWakeUp();
        settings.echo = c.echo;
        Rig rig(settings, c.lineEchoes);
        for (const auto& answer : c.answers) {
            rig.answers.push_back(answer);
        }
        EXPECT_EQ(rig.failure(kRead), c.error) << c.name;
        // A late answer or the rest of the garbage must not meet the next
        // request: the link waits for a quiet line first.
        rig.line->arrive(Bytes{0x01}, rig.line->now() + milliseconds(30));
        rig.line->echoes = true;
        rig.answers = {frame(kValue)};
        if (c.error == 2000) {
            // The read timed out: the next one waits for TesterPresent's
            // answer, so that a late answer cannot pass for its own.
            rig.answers.push_front(frame({0x7E}));
        }
        EXPECT_EQ(rig.send(kRead), kValue) << c.name;
    }
}

// A line that stops echoing blames the echo setting only when the user set
// it; an echo found out by the link that goes quiet is an ECU or a cable
// that stopped answering.
TEST(KLineProtocol, SilenceAfterAnEchoBlamesTheSettingOnlyWhenTheUserMadeIt) {
    const std::tuple<KLineEcho, std::int32_t, const char*> cases[] = {
        {KLineEcho::Auto, 2000, "the ECU or the cable stopped answering"},
        {KLineEcho::On, 2053, "is echo=on right for this cable?"},
    };
    for (const auto& [echo, number, text] : cases) {
        KLineSettings settings = noWakeUp();
        settings.echo = echo;
        Rig rig(settings);
        rig.answers = {frame(kValue)};
        ASSERT_EQ(rig.send(kRead), kValue);
        rig.line->echoes = false;
        const auto error = testing::errorOf([&] { rig.send(kRead); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->number(), number);
        EXPECT_NE(error->description().find(text), std::string::npos) << error->description();
    }
}

TEST(KLineProtocol, ALineThatNeverGoesQuietFailsInsteadOfHanging) {
    Rig rig(noWakeUp());
    rig.answers = {{0x55}};
    EXPECT_EQ(rig.failure(kRead), 2052);
    const auto now = rig.line->now();
    for (int ms = 1; ms < 20000; ++ms) {
        rig.line->arrive(Bytes{0x55}, now + milliseconds(ms));
    }
    EXPECT_EQ(rig.failure(kRead), 2052);
    EXPECT_LT(rig.line->now() - now, std::chrono::seconds(6));
}

TEST(KLineProtocol, P2CountsFromTheEndOfTheLastByteOnTheWire) {
    // Sent in one write, the 9 bytes of the request leave the wire 8.6 ms
    // after the write (961 µs a byte at 10400 baud); the ECU has P2max
    // (50 ms) from then.
    const std::pair<milliseconds, std::int32_t> cases[] = {{milliseconds(49), 0},
                                                           {milliseconds(51), 2000}};
    for (const auto& [after, error] : cases) {
        KLineSettings settings = noWakeUp();
        settings.p4min = milliseconds(0);
        Rig rig(settings);
        rig.line->device = [after](FakeLine& line, std::span<const std::uint8_t>) {
            line.arrive(frame(kValue), line.now() + 9 * std::chrono::microseconds(961) + after);
        };
        EXPECT_EQ(rig.failure(kRead), error) << after.count();
    }
}

TEST(KLineProtocol, FiveBaudInit) {
    // The sync byte may start up to W1 (300 ms) after the stop bit, and it
    // reaches us a byte time and a USB latency later.
    const std::tuple<std::uint8_t, std::uint8_t, int, std::string> cases[] = {
        {0x55, 0xEF, 60, ""},
        {0x55, 0xEF, 340, ""},
        {0x55, 0xEF, 400, "K-line init: no sync byte"},
        {0x54, 0xEF, 60, "K-line init: wrong sync byte 0x54"},
        {0x55, 0x00, 60, "K-line init: wrong inverted address 0x00"},
    };
    for (const auto& [sync, inverted, delay, error] : cases) {
        KLineSettings settings;
        settings.init = KLineInit::FiveBaud;
        // The cable echoes the inverted key byte; echo=auto finds that out.
        Rig rig(settings, false);
        // W5, then ten bits of 200 ms, then the ECU's answer.
        const auto answer = rig.line->now() + milliseconds(300 + 2000 + delay);
        rig.line->arrive(Bytes{sync}, answer);
        rig.line->arrive(Bytes{0xE9, 0x8F}, answer + milliseconds(10));
        rig.line->device = [inverted](FakeLine& line, std::span<const std::uint8_t> bytes) {
            EXPECT_EQ(bytes[0], 0x70);
            line.arrive(bytes, line.now());
            line.arrive(Bytes{inverted}, line.now() + milliseconds(30));
        };
        const auto failed = testing::errorOf([&] { rig.link->InitCommunication(); });
        EXPECT_EQ(failed ? failed->description() : "", error);
        if (!failed) {
            EXPECT_EQ(rig.link->keyBytes(), std::make_pair(std::uint8_t{0xE9}, std::uint8_t{0x8F}));
        }
        // Address 0x10 from its lowest bit, between a low start and a high
        // stop bit: low for a 0, high for a 1.
        std::vector<bool> levels;
        for (const auto& e : rig.line->events) {
            if (e.kind != Kind::Write) {
                levels.push_back(e.kind == Kind::BreakOn);
            }
        }
        EXPECT_EQ(levels, (std::vector<bool>{true, true, true, true, true, false, true, true, true,
                                             false}));
    }
}

} // namespace
} // namespace vistrel
