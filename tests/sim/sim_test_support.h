#pragma once

#include "components/byte_string.h"
#include "components/error.h"
#include "sim/simulated_ecu.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

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

// A clock that stands still at the given time after its epoch.
inline EcuClock fixedClock(std::chrono::milliseconds at) {
    return [at] { return std::chrono::steady_clock::time_point(at); };
}

} // namespace vistrel::testing
