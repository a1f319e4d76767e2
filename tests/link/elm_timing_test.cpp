// SPDX-License-Identifier: MIT
// The adapter link on a fake line with a fake clock, for what a pty cannot
// show in a test's time: answers seconds late, after "response pending" or
// after silence, and that no byte ever goes out before the adapter's prompt.
#include "components/error.h"
#include "fakes/error_of.h"
#include "fakes/fake_line.h"
#include "link/elm_protocol.h"

#include <deque>
#include <gtest/gtest.h>

namespace vistrel {
namespace {

using std::chrono::milliseconds;
using testing::FakeLine;
using Clock = ByteLine::Clock;
// Each piece of an answer: how long after the request, and the text.
using Script = std::vector<std::pair<milliseconds, std::string>>;

constexpr const char* kPending = "83F1107F23789E\r";
constexpr const char* kValue = "83F1106312342D\r";

// An adapter that answers every AT command at once and each request with the
// next script, and counts the bytes that came before the prompt before them.
struct FakeAdapter {
    void operator()(FakeLine& line, std::span<const std::uint8_t> bytes) {
        for (const auto byte : bytes) {
            interruptions += line.now() < busyUntil ? 1 : 0;
            if (byte != '\r') {
                partial += static_cast<char>(byte);
                continue;
            }
            received.push_back(std::exchange(partial, {}));
            const std::string& command = received.back();
            const bool banner = command == "ATZ" || command == "ATI";
            const std::string reply = banner              ? "ELM327 v1.5\r\r>"
                                      : command == "ATFI" ? "BUS INIT: ...OK\r\r>"
                                                          : "OK\r\r>";
            Script script{{milliseconds(1), reply}};
            if (!command.starts_with("AT")) {
                script.clear();
                if (!requests.empty()) {
                    script = requests.front();
                    requests.pop_front();
                }
            }
            for (const auto& [after, text] : script) {
                line.arrive(
                    std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                    line.now() + after);
                busyUntil = text.ends_with('>') ? line.now() + after : busyUntil;
            }
        }
    }

    std::deque<Script> requests;
    std::vector<std::string> received;
    std::string partial;
    Clock::time_point busyUntil{};
    int interruptions = 0;
};

struct Rig {
    Rig() {
        line->device = [this](FakeLine& l, std::span<const std::uint8_t> bytes) {
            adapter(l, bytes);
        };
        ElmSettings settings;
        settings.device = "/dev/fake";
        link = std::make_shared<ElmProtocol>(
            settings, [owned = line]() mutable { return std::unique_ptr<ByteLine>(owned); });
        link->InitCommunication();
        adapter.received.clear();
    }
    std::string read() {
        ByteString reply;
        const auto e = testing::errorOf([&] {
            link->SendReceive(ByteString{0x23, 0x01, 0xA2, 0xB3, 0x02}, reply);
        });
        return e ? std::to_string(e->number()) : reply.text();
    }

    FakeLine* line = new FakeLine;
    FakeAdapter adapter;
    std::shared_ptr<ElmProtocol> link;
};

TEST(ElmTiming, SlowAnswersNeverResetTheAdapterNorMeetABytePastThePrompt) {
    struct Case {
        const char* name;
        std::vector<Script> answers;
        std::string first;
        // The request lines sent for the first read.
        std::vector<std::string> sent;
    };
    const Case cases[] = {
        {"pending lines a second apart, then the answer",
         {{{milliseconds(30), kPending},
           {milliseconds(1030), kPending},
           {milliseconds(2030), std::string(kValue) + "\r>"}}},
         "631234",
         {"2301A2B3021"}},
        {"the counted pending reply alone: asked again without the count",
         {{{milliseconds(30), std::string(kPending) + "\r>"}},
          {{milliseconds(1500), kPending}, {milliseconds(2500), std::string(kValue) + "\r>"}}},
         "631234",
         {"2301A2B3021", "2301A2B302"}},
        {"pending, then nothing for longer than P2*",
         {{{milliseconds(30), kPending}, {milliseconds(9000), "NO DATA\r\r>"}}},
         "2000",
         {"2301A2B3021"}},
        {"silence, the prompt long after",
         {{{milliseconds(4000), "NO DATA\r\r>"}}},
         "2000",
         {"2301A2B3021"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.adapter.requests.assign(c.answers.begin(), c.answers.end());
        EXPECT_EQ(rig.read(), c.first);
        EXPECT_EQ(rig.adapter.received, c.sent);
        // The next read works, without a reset.
        rig.adapter.requests = {{{milliseconds(30), std::string(kValue) + "\r>"}}};
        EXPECT_EQ(rig.read(), "631234");
        EXPECT_EQ(rig.adapter.interruptions, 0);
        EXPECT_EQ(std::count(rig.adapter.received.begin(), rig.adapter.received.end(), "ATZ"), 0);
    }
}

} // namespace
} // namespace vistrel
