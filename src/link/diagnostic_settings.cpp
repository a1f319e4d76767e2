// SPDX-License-Identifier: MIT
#include "link/diagnostic_settings.h"

#include "components/byte_string.h"
#include "link/uds_session.h"

namespace vistrel {
namespace {

constexpr std::string_view kRates[] = {"slow", "medium", "fast"};
constexpr std::uint8_t kFastRate = 3;
// Levels above this are reserved; an even level is the key's, not a seed's.
constexpr std::uint8_t kHighestLevel = 0x7D;

// How long a key program may take.
constexpr std::chrono::milliseconds kKeyProgramLimit{5000};

} // namespace

std::unique_ptr<UdsLinkSession> udsSessionFor(const DiagnosticSettings& settings) {
    if (!settings.isUds()) {
        return nullptr;
    }
    return std::make_unique<UdsLinkSession>(
        settings.securityLevel, settings.keyProgram.empty()
                                    ? nullptr
                                    : spawnedKeyProgram(settings.keyProgram, kKeyProgramLimit));
}

DiagnosticSettings readDiagnosticKeys(const LinkString& linkString, const LinkKeys& keys,
                                      DiagnosticKeyChoice choice) {
    DiagnosticSettings settings;
    settings.family = !choice.diag || keys.choice(kDiagKey, 0, {"kwp", "uds"}) == 1
                          ? DiagnosticFamily::Uds
                          : DiagnosticFamily::Kwp2000;
    if (const std::string* level = keys.given(kSecurityKey)) {
        const std::uint8_t value = keys.hexByte(kSecurityKey, 0);
        if (value % 2 == 0 || value > kHighestLevel) {
            throw LinkStringError(linkString.kind + ": security=" + *level +
                                  " is not an odd level from 01 to 7D (the seed's level; the "
                                  "key's is the one after it)");
        }
        settings.securityLevel = value;
    }
    if (const std::string* program = keys.given(kKeyProgramKey)) {
        if (program->empty() || !settings.securityLevel) {
            throw LinkStringError(linkString.kind + ": key=" + *program +
                                  " needs a program and the key security=LL with its level");
        }
        settings.keyProgram = *program;
    }
    if (choice.rate) {
        settings.periodicRate = static_cast<std::uint8_t>(
            keys.choice(kRateKey, kFastRate - 1, {"slow", "medium", "fast"}) + 1);
    }
    if (!settings.isUds()) {
        for (const std::string_view key : {kSecurityKey, kKeyProgramKey, kRateKey}) {
            if (const std::string* value = keys.given(key)) {
                throw LinkStringError(linkString.kind + ": " + std::string(key) + "=" + *value +
                                      " needs diag=uds (KWP2000 links have no such key)");
            }
        }
    }
    return settings;
}

void writeDiagnosticKeys(LinkString& linkString, const DiagnosticSettings& settings,
                         DiagnosticKeyChoice choice) {
    if (choice.diag && settings.isUds()) {
        linkString.keys.emplace_back(kDiagKey, "uds");
    }
    if (settings.securityLevel) {
        linkString.keys.emplace_back(kSecurityKey, hexPadded(*settings.securityLevel, 2));
    }
    if (!settings.keyProgram.empty()) {
        linkString.keys.emplace_back(kKeyProgramKey, settings.keyProgram);
    }
    if (choice.rate) {
        addKeyUnlessDefault(linkString, kRateKey,
                            std::string(kRates[(settings.periodicRate - 1) % 3]),
                            kRates[kFastRate - 1]);
    }
}

} // namespace vistrel
