// SPDX-License-Identifier: MIT
#include "sim/elm_quirks.h"

#include <charconv>

namespace vistrel {
namespace {

// N of NAME:N, 1 to 99; def when the text is NAME alone.
std::optional<int> countOf(std::string_view text, std::string_view name, int def) {
    if (text == name) {
        return def;
    }
    if (!text.starts_with(name) || text.size() <= name.size() + 1 || text[name.size()] != ':') {
        return std::nullopt;
    }
    const std::string_view digits = text.substr(name.size() + 1);
    int n = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (error != std::errc{} || end != digits.data() + digits.size() || n < 1 || n > 99) {
        return std::nullopt;
    }
    return n;
}

} // namespace

std::string elmQuirkNames() {
    return "nul, echo, pending:N, bus-init-stopped, data-error:N, lower-case, stopped";
}

std::optional<ElmQuirks> applyElmQuirk(ElmQuirks quirks, std::string_view text) {
    if (text == "nul") {
        quirks.nul = true;
    } else if (text == "echo") {
        quirks.echo = true;
    } else if (text == "bus-init-stopped") {
        quirks.busInitStopped = true;
    } else if (text == "lower-case") {
        quirks.lowerCase = true;
    } else if (text == "stopped") {
        quirks.stopped = true;
    } else if (const auto pending = countOf(text, "pending", 1)) {
        quirks.pending = *pending;
    } else if (const auto every = countOf(text, "data-error", 5)) {
        quirks.dataError = *every;
    } else {
        return std::nullopt;
    }
    return quirks;
}

} // namespace vistrel
