// SPDX-License-Identifier: MIT
#pragma once

#include "reading/list_reader.h"

#include <cstdint>
#include <memory>
#include <pugixml.hpp>

namespace vistrel {

// The CAN-XML batch request for every distinct item (same address and
// length read once), addressed to rid and xid; nullptr when an item cannot
// take part.
std::unique_ptr<pugi::xml_document> canXmlBatchRequest(const ItemPointers& items,
                                                       std::int32_t lengthSize, std::int32_t rid,
                                                       std::int32_t xid);

// Hands each item its reply from a processed batch document. Throws Error
// 2000, 1015 or 3000 when the document holds an "e" element.
void decodeCanXmlBatch(const ItemPointers& items, const pugi::xml_document& processed);

} // namespace vistrel
