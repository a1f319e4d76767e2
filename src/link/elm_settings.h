// SPDX-License-Identifier: MIT
#pragma once

#include "link/diagnostic_settings.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vistrel {

struct LinkString;

// The bus an ELM327-family adapter talks to the ECU on.
enum class ElmBus { KLineFast, KLineFiveBaud, Can11At500, Can11At250, Can29At500, Can29At250 };

// An elm: link string, checked: ELM:DEVICE with baud, protocol, target,
// source, tx, rx, timeout, and on CAN diag, security and key.
struct ElmSettings {
    std::string device;
    // The serial speed to the adapter; 0 tries the common speeds in turn.
    unsigned baud = 38400;
    ElmBus bus = ElmBus::KLineFast;
    // K-line addresses of the ECU and of us.
    std::uint8_t target = 0x10;
    std::uint8_t source = 0xF1;
    // CAN identifiers we send on and the ECU answers on.
    std::uint32_t tx = 0x7E0;
    std::uint32_t rx = 0x7E8;
    // The adapter's own reply timeout; its default when not given.
    std::optional<std::chrono::milliseconds> timeout;
    // diag, security and key; UDS only on CAN, and without periodic frames,
    // which the adapter cannot pass on.
    DiagnosticSettings diagnostic;

    bool isCan() const noexcept { return bus != ElmBus::KLineFast && bus != ElmBus::KLineFiveBaud; }
    bool is29Bit() const noexcept { return bus == ElmBus::Can29At500 || bus == ElmBus::Can29At250; }

    // Throws LinkStringError naming the key and value that do not fit.
    static ElmSettings fromLinkString(const LinkString& linkString);
};

// The link string of these settings, with only the keys that differ from
// the defaults (the identifiers' defaults depend on the protocol).
std::string toLinkString(const ElmSettings& settings);

// The protocol key's values, in the order of ElmBus.
inline constexpr std::string_view kElmProtocols[] = {"kline-fast", "kline-5baud", "can11-500",
                                                     "can11-250",  "can29-500",   "can29-250"};

// The speeds baud=auto tries, the adapters' factory setting first.
inline constexpr unsigned kElmAutoBauds[] = {38400, 9600, 115200, 230400, 500000};

} // namespace vistrel
