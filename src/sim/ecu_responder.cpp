// SPDX-License-Identifier: MIT
#include "sim/ecu_responder.h"

#include "components/negative_response.h"
#include "sim/ecu_description.h"
#include "sim/kwp_responder.h"
#include "sim/uds_responder.h"

namespace vistrel {

Answer negativeAnswer(std::uint8_t sid, std::uint8_t code, ByteString& reply) {
    reply.clear();
    reply.append(kwp::kNegativeReply);
    reply.append(sid);
    reply.append(code);
    return {Answer::Kind::Negative, sid, code};
}

std::unique_ptr<EcuResponder> makeResponder(const EcuDescription& description,
                                            std::size_t periodicDataBytes) {
    if (description.family == DiagnosticFamily::Uds) {
        return std::make_unique<UdsResponder>(description, periodicDataBytes);
    }
    return std::make_unique<KwpResponder>(description);
}

} // namespace vistrel
