// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "components/error.h"
#include "fakes/error_of.h"
#include "fakes/text_files.h"
#include "itemlist/vistrel_items.h"
#include "sim/simulated_ecu.h"

#include <chrono>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vistrel::testing {

// What one exchange gave: the reply bytes, and the error it raised if any.
struct Outcome {
    std::string reply;
    std::int32_t error = 0;
    std::string text;

    friend bool operator==(const Outcome&, const Outcome&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Outcome& outcome) {
        return out << "{reply \"" << outcome.reply << "\", error " << outcome.error << " \""
                   << outcome.text << "\"}";
    }
};

inline Outcome positive(std::string reply) {
    return {std::move(reply), 0, ""};
}
inline Outcome failure(std::string reply, std::int32_t error, std::string text) {
    return {std::move(reply), error, std::move(text)};
}

// What a call gave: no error, or the one it raised.
template <typename Call> Outcome outcomeOf(Call&& call) {
    const auto error = errorOf(std::forward<Call>(call));
    return error ? failure("", error->number(), error->description()) : Outcome{};
}

inline Outcome sendReceive(SimulatedEcu& ecu, std::string_view requestHex) {
    ByteString reply;
    Outcome outcome = outcomeOf([&] { ecu.SendReceive(ByteString::fromText(requestHex), reply); });
    outcome.reply = reply.text();
    return outcome;
}

inline std::shared_ptr<SimulatedEcu> ecuFrom(std::string_view xml) {
    return SimulatedEcu::fromText(xml, "test.xml");
}

// The bytes of a file shipped in the examples folder.
inline std::string exampleText(const std::string& name) {
    return readFile(std::string(VISTREL_EXAMPLES_DIR) + "/" + name);
}

inline void addLines(VistrelItems& items, std::initializer_list<const char*> lines) {
    for (const char* line : lines) {
        ASSERT_NE(items.addLine(line), nullptr) << line;
    }
}

// The text of every item, in list order.
inline std::vector<std::string> texts(const VistrelItems& items) {
    std::vector<std::string> all;
    for (const auto& item : items) {
        all.push_back(item->text());
    }
    return all;
}

// A clock that stands still at the given time after its epoch.
inline EcuClock fixedClock(std::chrono::milliseconds at) {
    return [at] { return std::chrono::steady_clock::time_point(at); };
}

} // namespace vistrel::testing
