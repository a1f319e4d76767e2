// SPDX-License-Identifier: MIT
#pragma once

#include "components/protocol.h"
#include "sim/ecu_responder.h"

#include <functional>

namespace vistrel {

// The simulated ECU's CAN-XML processor: performs every request frame of a
// batch document and writes each reply under the "r" element that follows
// its "s" element.
class CanXmlBatch : public CanXmlProcessor {
public:
    // One exchange with the ECU: fills reply and tells how it answered.
    using Exchange = std::function<Answer(const ByteString& request, ByteString& reply)>;

    explicit CanXmlBatch(Exchange exchange) : exchange_(std::move(exchange)) {}

    void CanXmlExecute(pugi::xml_document& document) override;

private:
    Exchange exchange_;
};

} // namespace vistrel
