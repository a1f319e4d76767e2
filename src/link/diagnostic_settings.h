// SPDX-License-Identifier: MIT
#pragma once

#include "components/diagnostic_family.h"
#include "link/link_string.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vistrel {

// The keys that choose and shape the diagnostic family of a link: diag,
// security, key and (where periodic identifiers can come) rate.
struct DiagnosticSettings {
    DiagnosticFamily family = DiagnosticFamily::Kwp2000;
    // The odd security level to unlock after each session, or none.
    std::optional<std::uint8_t> securityLevel;
    // The program that turns a seed into its key; empty for none.
    std::string keyProgram;
    // The transmission mode of periodic identifiers: 01 slow, 02 medium,
    // 03 fast.
    std::uint8_t periodicRate = 3;

    bool isUds() const noexcept { return family == DiagnosticFamily::Uds; }
};

// Which of the keys a kind of link takes: diag only where either family
// can be spoken (a DoIP link always speaks UDS), rate only where periodic
// frames can come.
struct DiagnosticKeyChoice {
    bool diag = true;
    bool rate = true;
};

// The names of the keys, for the kinds' lists of known keys.
inline constexpr std::string_view kDiagKey = "diag";
inline constexpr std::string_view kSecurityKey = "security";
inline constexpr std::string_view kKeyProgramKey = "key";
inline constexpr std::string_view kRateKey = "rate";

// Reads the keys; throws LinkStringError for a value that does not fit,
// an even security level, a key program without a level, and UDS-only keys
// on a link that speaks KWP2000.
DiagnosticSettings readDiagnosticKeys(const LinkString& linkString, const LinkKeys& keys,
                                      DiagnosticKeyChoice choice);

// Appends the keys that differ from the defaults.
void writeDiagnosticKeys(LinkString& linkString, const DiagnosticSettings& settings,
                         DiagnosticKeyChoice choice);

} // namespace vistrel
