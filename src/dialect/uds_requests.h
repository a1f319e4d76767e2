// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"

#include <cstdint>
#include <span>

namespace vistrel {

// UDS (ISO 14229-1) service identifiers, sub-functions and the identifiers
// that the reading methods define.
namespace uds {
inline constexpr std::uint8_t kReadDataByIdentifier = 0x22;
inline constexpr std::uint8_t kReadMemoryByAddress = 0x23;
inline constexpr std::uint8_t kReadDataByPeriodicIdentifier = 0x2A;
inline constexpr std::uint8_t kDynamicallyDefineDataIdentifier = 0x2C;
inline constexpr std::uint8_t kPositiveReplyOffset = 0x40;
// DynamicallyDefineDataIdentifier sub-functions.
inline constexpr std::uint8_t kDefineByMemoryAddress = 0x02;
inline constexpr std::uint8_t kClearDynamicallyDefined = 0x03;
// ReadDataByPeriodicIdentifier transmission modes.
inline constexpr std::uint8_t kSendAtSlowRate = 0x01;
inline constexpr std::uint8_t kSendAtMediumRate = 0x02;
inline constexpr std::uint8_t kSendAtFastRate = 0x03;
inline constexpr std::uint8_t kStopSending = 0x04;
// The dynamically defined identifiers: F200 to F2FF. Periodic identifiers
// are F2xx as well, read by their low byte alone.
inline constexpr std::uint16_t kFirstDynamicIdentifier = 0xF200;
inline constexpr std::uint16_t kLastDynamicIdentifier = 0xF2FF;
// Periodic frames that share the response id with ISO-TP frames must not
// begin with a byte an ISO-TP frame could begin with (00 to 3F).
inline constexpr std::uint16_t kFirstSharedPeriodicIdentifier = 0xF240;
} // namespace uds

// The addressAndLengthFormatIdentifier: the bytes of the size in the high
// nibble (the list's length size, 1 or 2), the bytes of the address in the
// low nibble (as many as the item's address is written with).
std::uint8_t addressAndLengthFormat(std::size_t addressBytes, std::int32_t lengthSize);

// ReadMemoryByAddress: 23 ALFID address size.
void buildUdsReadMemoryRequest(ByteString& request, const ByteString& address, std::uint32_t size,
                               std::int32_t lengthSize);

// One source of a dynamically defined identifier: size bytes at address.
struct MemoryElement {
    const ByteString* address = nullptr;
    std::uint32_t size = 0;
};

// DynamicallyDefineDataIdentifier by memory address: 2C 02 DID ALFID, then
// address and size of each element, all with the first element's address
// width. The ECU appends the elements to what the identifier holds.
void buildDefineByMemoryRequest(ByteString& request, std::uint16_t identifier,
                                std::span<const MemoryElement> elements, std::int32_t lengthSize);

// 2C 03 DID: forgets what the identifier holds.
void buildClearIdentifierRequest(ByteString& request, std::uint16_t identifier);

// ReadDataByIdentifier of one or several identifiers: 22 DID DID ...
void buildReadIdentifiersRequest(ByteString& request, std::span<const std::uint16_t> identifiers);

// ReadDataByPeriodicIdentifier: 2A mode, then each identifier's low byte.
void buildPeriodicRequest(ByteString& request, std::uint8_t mode,
                          std::span<const std::uint16_t> identifiers);

} // namespace vistrel
