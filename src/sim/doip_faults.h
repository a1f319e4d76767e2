// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vistrel {

// What the simulated DoIP entity does wrong on demand. The faults of
// diagnostic messages hit every second one of a connection, so that each
// failed exchange is followed by one that works.
struct DoipFaults {
    // nack:CODE: refuses the message with this negative acknowledgement code.
    std::optional<std::uint8_t> nack;
    // activation:CODE: answers every routing activation with this code (11:
    // asks for confirmation, then grants it 200 ms later).
    std::optional<std::uint8_t> activation;
    // no-ack: neither acknowledges nor forwards the message.
    bool noAck = false;
    // slow-ack:MS: acknowledges only after MS.
    std::optional<std::chrono::milliseconds> slowAck;
    // alive-check: asks the tester whether it is still there before the
    // acknowledgement, and drops it unless it answers within 500 ms.
    bool aliveCheck = false;
    // split: writes every message in two pieces, a moment apart.
    bool split = false;
    // version:N: speaks only protocol version N (2 or 3), refusing others
    // with "incorrect pattern format" as an entity of one edition does.
    std::optional<std::uint8_t> onlyVersion;
    // close:N: drops the connection after N messages from the tester
    // (default 5).
    std::optional<unsigned> closeAfter;
};

// Adds one --fault text; false when it is none of the forms above.
bool addDoipFault(DoipFaults& faults, std::string_view text);

// The forms, for help texts.
std::string doipFaultNames();

} // namespace vistrel
