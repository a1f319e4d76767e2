// SPDX-License-Identifier: MIT
#include "sim/wire_faults.h"

#include <array>
#include <charconv>
#include <utility>

namespace vistrel {
namespace {

constexpr std::array<std::pair<std::string_view, WireFault>, 16> kNames{{
    {"no-answer", WireFault::NoAnswer},
    {"negative", WireFault::Negative},
    {"pending", WireFault::Pending},
    {"late", WireFault::Late},
    {"silent-after", WireFault::SilentAfter},
    {"bad-checksum", WireFault::BadChecksum},
    {"wrong-echo", WireFault::WrongEcho},
    {"garbage", WireFault::Garbage},
    {"silent-start", WireFault::SilentStart},
    {"hang-up", WireFault::HangUp},
    {"fc-wait", WireFault::FlowWait},
    {"fc-overflow", WireFault::FlowOverflow},
    {"lost-cf", WireFault::LostFrame},
    {"bad-sn", WireFault::BadSequence},
    {"no-padding", WireFault::NoPadding},
    {"noise", WireFault::Noise},
}};
constexpr unsigned kDefaultEvery = 5;

} // namespace

std::optional<WireFaultRule> parseWireFault(std::string_view text) {
    const auto colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    unsigned every = kDefaultEvery;
    if (colon != std::string_view::npos) {
        const std::string_view number = text.substr(colon + 1);
        const auto [end, failed] =
            std::from_chars(number.data(), number.data() + number.size(), every);
        if (failed != std::errc{} || end != number.data() + number.size() || every == 0) {
            return std::nullopt;
        }
    }
    for (const auto& [known, fault] : kNames) {
        if (known == name) {
            return WireFaultRule{fault, every};
        }
    }
    return std::nullopt;
}

std::string wireFaultNames() {
    std::string names;
    for (const auto& [name, fault] : kNames) {
        names += names.empty() ? "" : ", ";
        names += name;
    }
    return names;
}

} // namespace vistrel
