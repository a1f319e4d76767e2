// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vistrel {

// One identifier asked for in a ReadDataByIdentifier request, and how many
// data bytes it was defined with.
struct AskedIdentifier {
    std::uint16_t identifier = 0;
    std::size_t size = 0;
};

// The data of each asked identifier, in the order asked; nothing for one
// the reply left out.
using IdentifierData = std::vector<std::optional<std::span<const std::uint8_t>>>;

// Splits the positive reply 62 DID data [DID data]... by following the
// identifiers it echoes, never by position alone: an ECU may leave out an
// identifier it does not support, or answer in another order. Nothing when
// the reply is not 62, echoes an identifier that was not asked for or
// twice, or ends inside an identifier's data: then no byte of it can be
// trusted to belong to any item.
std::optional<IdentifierData> splitIdentifierReply(std::span<const std::uint8_t> reply,
                                                   std::span<const AskedIdentifier> asked);

} // namespace vistrel
