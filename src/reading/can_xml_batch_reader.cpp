// SPDX-License-Identifier: MIT
#include "reading/can_xml_batch_reader.h"

#include "components/protocol.h"
#include "reading/can_xml_batch.h"
#include "reading/can_xml_timings.h"

namespace vistrel {

ListReadEnd CanXmlBatchReader::read(const ItemPointers& items, Protocol& protocol,
                                    const ReadSettings& settings, pugi::xml_node snapShot,
                                    ReadTally& tally) {
    CanXmlProcessor* processor = protocol.batch();
    if (!prepared_ || items != preparedFor_ || settings.lengthSize != preparedLengthSize_) {
        request_ =
            canXmlBatchRequest(items, settings.lengthSize, protocol.canRid(), protocol.canXid());
        preparedFor_ = items;
        preparedLengthSize_ = settings.lengthSize;
        prepared_ = true;
    }
    if (processor == nullptr || !request_) {
        return fallback_.read(items, protocol, settings, snapShot, tally);
    }
    // The batch's exchanges are not the items' own: the snapshot keeps no
    // record of them.
    const std::unique_ptr<pugi::xml_document> batch = makeTimingsDocument(*request_);
    processor->CanXmlExecute(*batch);
    decodeCanXmlBatch(items, *batch);
    return ListReadEnd::ReadAsOne;
}

void CanXmlBatchReader::forget() noexcept {
    prepared_ = false;
    preparedFor_.clear();
    request_.reset();
}

} // namespace vistrel
