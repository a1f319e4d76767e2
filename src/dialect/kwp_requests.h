// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"

#include <cstdint>

namespace vistrel {

// ReadMemoryByAddress: 23, the address most significant byte first, then the
// size in one byte or, for lengthSize 2, in two bytes high byte first.
void buildReadMemoryRequest(ByteString& request, const ByteString& address, std::uint32_t size,
                            std::int32_t lengthSize);

// DynamicallyDefineLocalIdentifier by memory address: 2C identifier D0
// position size 00 address. Position 1 starts a new definition of the
// identifier; the next positions add to it.
void buildDefineRequest(ByteString& request, std::uint8_t identifier, std::uint8_t position,
                        std::uint8_t size, const ByteString& address);

} // namespace vistrel
