// SPDX-License-Identifier: MIT
#include "sim/wire_faults.h"

#include <array>
#include <charconv>
#include <utility>

namespace vistrel {
namespace {

constexpr std::array<std::pair<std::string_view, WireFault>, 20> kNames{{
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
    {"nrc:21", WireFault::Busy},
    {"nrc:37", WireFault::SeedDelay},
    {"new-seed", WireFault::NewSeed},
    {"periodic-stop", WireFault::PeriodicStop},
}};
constexpr unsigned kDefaultEvery = 5;

} // namespace

std::optional<WireFaultRule> parseWireFault(std::string_view text) {
    // Some names hold a colon themselves (nrc:21), so the name is the known
    // one that the text starts with, and a count may follow it.
    for (const auto& [known, fault] : kNames) {
        if (!text.starts_with(known)) {
            continue;
        }
        const std::string_view rest = text.substr(known.size());
        if (rest.empty()) {
            return WireFaultRule{fault, kDefaultEvery};
        }
        if (rest[0] != ':') {
            continue;
        }
        unsigned every = 0;
        const std::string_view number = rest.substr(1);
        const auto [end, failed] =
            std::from_chars(number.data(), number.data() + number.size(), every);
        if (failed != std::errc{} || end != number.data() + number.size() || every == 0) {
            return std::nullopt;
        }
        return WireFaultRule{fault, every};
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
