// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "reading/list_reader.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vistrel {

class Error;
class SnapshotRecord;

// Items gathered in one UDS dynamically defined identifier, in the order
// they fill it.
struct GatheredIdentifier {
    std::uint16_t id = 0;
    std::vector<VistrelItem*> items;
    std::size_t bytes = 0;
};

// The exchanges that UDS readers make to gather items in a dynamically
// defined identifier. Each is recorded in the snapshot record under its own
// names; a failure is recorded and thrown.

// 2C 03 DID. The clear of an identifier that holds nothing may be refused:
// a negative reply is no failure here.
void clearIdentifier(Protocol& protocol, std::uint16_t identifier, SnapshotRecord& record);

// 2C 02 DID with every item's address and length, in list order: one
// request for each run of items whose addresses have the same width, since
// one request announces one width.
void defineIdentifier(Protocol& protocol, std::uint16_t identifier,
                      std::span<VistrelItem* const> items, std::int32_t lengthSize,
                      SnapshotRecord& record);

// 22 DID: the identifier's data bytes, after checking that the reply echoes
// the identifier and holds size bytes.
ByteString readIdentifier(Protocol& protocol, std::uint16_t identifier, std::size_t size,
                          SnapshotRecord& record);

// The items take their bytes from data, one after the other.
void takeValues(std::span<VistrelItem* const> items, std::span<const std::uint8_t> data);

// True when the ECU answered and said no; false for a failed exchange (no
// answer, a broken link).
bool isRefusal(const Error& failure) noexcept;

// The bytes a set of items fills in an identifier.
std::size_t bytesOf(std::span<VistrelItem* const> items) noexcept;

} // namespace vistrel
