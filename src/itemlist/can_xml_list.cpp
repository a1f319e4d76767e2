// SPDX-License-Identifier: MIT
#include "itemlist/vistrel_items.h"
#include "reading/can_xml_batch.h"

namespace vistrel {

std::unique_ptr<pugi::xml_document> VistrelItems::CanXmlGetReadMemory(std::int32_t rid,
                                                                      std::int32_t xid) {
    return canXmlBatchRequest(items_, lengthSize_, rid, xid);
}

bool VistrelItems::CanXmlDecode(const pugi::xml_document& processed) {
    decodeCanXmlBatch(items_, processed);
    return false;
}

} // namespace vistrel
