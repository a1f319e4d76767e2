#pragma once

#include "components/protocol.h"
#include "sim/kwp_responder.h"

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

// The text of the "e" element for a request that got no answer.
inline constexpr const char* kReceiveTimeoutText = "ErrorRcvTO";
// The text of the "e" element for a request frame that cannot be sent.
inline constexpr const char* kBadFrameText = "ErrorFrame";

} // namespace vistrel
