// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vistrel {

// What real adapters and the ECUs behind them do that a plain adapter does
// not, each one switched on by name so that a link can be tried against it.
struct ElmQuirks {
    // NUL bytes in the answers, as some clones send.
    bool nul = false;
    // Echo stays on after ATE0.
    bool echo = false;
    // The ECU answers "response pending" (7F sid 78) this many times before
    // each answer; the adapter returns after as many replies as the request
    // counts, pending or not.
    int pending = 0;
    // The first bus wake-up is stopped ("BUS INIT: STOPPED"); a wake-up on a
    // request prints "BUS INIT: ...OK" and the reply on one line.
    bool busInitStopped = false;
    // Every n-th request: the reply with "<DATA ERROR" after it.
    int dataError = 0;
    // Everything in lower case.
    bool lowerCase = false;
    // A byte that arrives while a request is worked on stops it: "STOPPED".
    bool stopped = false;
};

// The names taken by applyElmQuirk, for help texts.
std::string elmQuirkNames();

// Switches on the quirk NAME or NAME:N (pending:N, data-error:N); nothing
// when the text names none.
std::optional<ElmQuirks> applyElmQuirk(ElmQuirks quirks, std::string_view text);

} // namespace vistrel
