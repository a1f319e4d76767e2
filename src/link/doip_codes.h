// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

// What the entity's codes mean, in words for the user: the reasons of a
// generic negative acknowledgement, of a refused routing activation and of a
// refused diagnostic message.
namespace vistrel::doip {

// "incorrect pattern format", "unknown payload type", ...; "code XX" for one
// the entity made up.
std::string headerNackName(std::uint8_t code);
std::string diagnosticNackName(std::uint8_t code);
// What a refused routing activation means and what to try, e.g. "unknown
// source address 0E00 — give the tester address the entity expects (link key
// sa)".
std::string activationRefusalText(std::uint8_t code, std::uint16_t tester);

} // namespace vistrel::doip
