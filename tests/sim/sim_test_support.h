// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "components/error.h"
#include "sim/simulated_ecu.h"

#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
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

inline Outcome sendReceive(SimulatedEcu& ecu, std::string_view requestHex) {
    ByteString reply;
    try {
        ecu.SendReceive(ByteString::fromText(requestHex), reply);
        return positive(reply.text());
    } catch (const Error& error) {
        return failure(reply.text(), error.number(), error.description());
    }
}

inline std::shared_ptr<SimulatedEcu> ecuFrom(std::string_view xml) {
    return SimulatedEcu::fromText(xml, "test.xml");
}

// The bytes of a file shipped in the examples folder.
inline std::string exampleText(const std::string& name) {
    std::ifstream stream(std::string(VISTREL_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

inline std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos;
         start = at + separator.size()) {
        parts.push_back(text.substr(start, at - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

// A clock that stands still at the given time after its epoch.
inline EcuClock fixedClock(std::chrono::milliseconds at) {
    return [at] { return std::chrono::steady_clock::time_point(at); };
}

} // namespace vistrel::testing
