// SPDX-License-Identifier: MIT
#include "link/doip_codes.h"

#include "components/byte_string.h"

#include <array>
#include <string_view>

namespace vistrel::doip {
namespace {

struct Named {
    std::uint8_t code;
    std::string_view name;
};

constexpr Named kHeaderNacks[] = {
    {0x00, "incorrect pattern format"}, {0x01, "unknown payload type"},
    {0x02, "message too large"},        {0x03, "out of memory"},
    {0x04, "invalid payload length"},
};

constexpr Named kDiagnosticNacks[] = {
    {0x02, "invalid source address"},       {0x03, "unknown target address"},
    {0x04, "diagnostic message too large"}, {0x05, "out of memory"},
    {0x06, "target unreachable"},           {0x07, "unknown network"},
    {0x08, "transport protocol error"},
};

constexpr Named kActivationRefusals[] = {
    {0x00, "unknown source address"},
    {0x01, "all connections of the entity are taken by other testers"},
    {0x02, "the source address differs from the one already active on this connection"},
    {0x03, "the source address is already active on another connection"},
    {0x04, "authentication missing"},
    {0x05, "confirmation rejected"},
    {0x06, "unsupported routing activation type"},
    {0x07, "the entity requires a secured (TLS) connection"},
};

template <std::size_t N> std::string nameOf(const Named (&table)[N], std::uint8_t code) {
    for (const Named& named : table) {
        if (named.code == code) {
            return std::string(named.name);
        }
    }
    return std::string("code ") + hexPadded(code, 2);
}

// What the user can do about each refusal.
std::string remedy(std::uint8_t code, std::uint16_t tester) {
    switch (code) {
    case 0x00:
        return std::string(" ") + hexPadded(tester, 4) +
               " — give the tester address the entity expects (link key sa)";
    case 0x01:
    case 0x03:
        return " — close the other diagnostic program, or wait until its connection ends";
    case 0x04:
        return " — the entity wants the carmaker's authentication first";
    case 0x06:
        return " — try another activation type (link key activation, e.g. 01 or E0)";
    default:
        return "";
    }
}

} // namespace

std::string headerNackName(std::uint8_t code) {
    return nameOf(kHeaderNacks, code);
}

std::string diagnosticNackName(std::uint8_t code) {
    return nameOf(kDiagnosticNacks, code);
}

std::string activationRefusalText(std::uint8_t code, std::uint16_t tester) {
    return nameOf(kActivationRefusals, code) + remedy(code, tester);
}

} // namespace vistrel::doip
