// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

// Faults of the line that the wire side of the simulated ECU shows on
// demand, beside the description's own (refused and silent ranges, failing
// session requests).
enum class WireFault {
    // The request gets no answer.
    NoAnswer,
    // The request gets 7F sid 22.
    Negative,
    // "Response pending" (7F sid 78) before the answer.
    Pending,
    // The answer's checksum is off.
    BadChecksum,
    // The echo of the request is bent, as in a collision.
    WrongEcho,
    // Bytes of no frame instead of the answer.
    Garbage,
    // StartCommunication gets no answer.
    SilentStart,
    // The line goes away, as a pulled cable.
    HangUp,
    // CAN: the ECU's flow control asks the tester to wait N times first.
    FlowWait,
    // CAN: the ECU's flow control refuses a long request (overflow).
    FlowOverflow,
    // CAN: a consecutive frame of a long answer goes missing.
    LostFrame,
    // CAN: a consecutive frame of a long answer has the wrong number.
    BadSequence,
    // CAN: the ECU's frames are as short as their content.
    NoPadding,
    // CAN: frames of other nodes go between the ECU's.
    Noise,
    // UDS: the request gets 7F sid 21 (busy, repeat the request).
    Busy,
    // UDS: the seed request gets 7F 27 37 (the security delay runs).
    SeedDelay,
    // UDS: a new seed for every seed request, not the same until a key.
    NewSeed,
    // UDS: the first periodic identifier goes quiet after N frames.
    PeriodicStop,
    // The answer comes 200 ms later than usual, past a tester's P2max.
    Late,
    // No answer to anything from the request after the N-th on, as an ECU
    // that stopped.
    SilentAfter,
};

// How much later than usual a late answer comes.
inline constexpr std::chrono::milliseconds kLateAnswer{200};
// TesterPresent is answered whatever fault hits the requests around it
// (but a stopped ECU answers nothing): it is the tester's own check of the
// line, and must not move the faults off the requests they are set for.
inline constexpr std::uint8_t kTesterPresentService = 0x3E;

// One fault on every n-th request (StartCommunication for SilentStart, seed
// request for SeedDelay); for FlowWait, n is the number of WAITs, for
// PeriodicStop the number of frames before the identifier goes quiet; for
// SilentAfter, every request after the n-th.
struct WireFaultRule {
    WireFault fault;
    unsigned every;
};

// "KIND" or "KIND:N": no-answer, negative, pending, late, silent-after,
// bad-checksum, wrong-echo, garbage, silent-start, hang-up, on CAN fc-wait,
// fc-overflow, lost-cf, bad-sn, no-padding, noise, and with UDS nrc:21,
// nrc:37, new-seed, periodic-stop; N defaults to 5. nullopt for anything
// else.
std::optional<WireFaultRule> parseWireFault(std::string_view text);

// The fault kinds by name, for help texts.
std::string wireFaultNames();

} // namespace vistrel
