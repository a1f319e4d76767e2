// SPDX-License-Identifier: MIT
#include "sim/doip_faults.h"

#include <charconv>

namespace vistrel {
namespace {

constexpr unsigned kDefaultCloseAfter = 5;

std::optional<unsigned> numberIn(std::string_view text, int base, unsigned max) {
    unsigned value = 0;
    const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || failed != std::errc{} || end != text.data() + text.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

} // namespace

bool addDoipFault(DoipFaults& faults, std::string_view text) {
    const auto colon = text.find(':');
    const std::string_view kind = text.substr(0, colon);
    const bool valued = colon != std::string_view::npos;
    const std::string_view value = valued ? text.substr(colon + 1) : std::string_view();
    if (kind == "nack" || kind == "activation") {
        const auto code = valued ? numberIn(value, 16, 0xFF) : std::nullopt;
        if (!code) {
            return false;
        }
        (kind == "nack" ? faults.nack : faults.activation) = static_cast<std::uint8_t>(*code);
        return true;
    }
    if (kind == "version") {
        const auto version = valued ? numberIn(value, 10, 3) : std::nullopt;
        if (version && *version >= 2) {
            faults.onlyVersion = static_cast<std::uint8_t>(*version);
        }
        return version && *version >= 2;
    }
    if (kind == "slow-ack") {
        const auto ms = valued ? numberIn(value, 10, 60000) : std::nullopt;
        if (ms) {
            faults.slowAck = std::chrono::milliseconds(*ms);
        }
        return ms.has_value();
    }
    if (kind == "close") {
        const auto after = valued ? numberIn(value, 10, 1000000) : kDefaultCloseAfter;
        if (after && *after > 0) {
            faults.closeAfter = *after;
        }
        return after && *after > 0;
    }
    bool* flag = kind == "no-ack"        ? &faults.noAck
                 : kind == "alive-check" ? &faults.aliveCheck
                 : kind == "split"       ? &faults.split
                                         : nullptr;
    if (flag == nullptr || valued) {
        return false;
    }
    *flag = true;
    return true;
}

std::string doipFaultNames() {
    return "nack:CODE, activation:CODE, no-ack, slow-ack:MS, alive-check, split, close[:N], "
           "version:N";
}

} // namespace vistrel
