// SPDX-License-Identifier: MIT
#pragma once

#include "reading/list_reader.h"

#include <cstdint>
#include <memory>
#include <pugixml.hpp>

namespace vistrel {

// Reads the whole list in one CAN-XML batch through the link's batch
// processor. The request is prepared once for a list and its length size;
// each read hands the processor a fresh copy and gives each item its reply.
// A list that holds an item unfit for a batch is read item by item with
// fallback instead.
class CanXmlBatchReader : public ListReader {
public:
    explicit CanXmlBatchReader(ListReader& fallback) : fallback_(fallback) {}

    // One batch: each statement needs the one before it, so the first
    // failure ends the batch and is thrown.
    ListReadEnd read(const ItemPointers& items, Protocol& protocol, const ReadSettings& settings,
                     pugi::xml_node snapShot, ReadTally& tally) override;
    void forget() noexcept override;

private:
    ListReader& fallback_;
    bool prepared_ = false;
    ItemPointers preparedFor_;
    std::int32_t preparedLengthSize_ = 0;
    // nullptr when the list cannot go out as a batch.
    std::unique_ptr<pugi::xml_document> request_;
};

} // namespace vistrel
