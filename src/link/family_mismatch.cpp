// SPDX-License-Identifier: MIT
#include "link/family_mismatch.h"

#include "components/error_numbers.h"
#include "components/negative_response.h"
#include "components/uds_negative_response.h"
#include "link/kwp_exchange.h"

namespace vistrel {
namespace {

constexpr const char* kSource = "SendReceive";
constexpr std::uint8_t kSessionControl = 0x10;
// KWP2000's default session, and in UDS a reserved session with the bit
// that suppresses the positive reply.
constexpr std::uint8_t kKwpDefaultSession = 0xA0;
constexpr std::size_t kUdsSessionReplyLength = 6;

bool isSessionRequest(const ByteString& request) {
    return request.length() >= 2 && request.byte(0) == kSessionControl;
}

bool isDefaultRequest(const ByteString& request) {
    return isSessionRequest(request) && request.byte(1) == kKwpDefaultSession;
}

bool isSessionRefusal(const Error& failure, std::uint8_t nrc) {
    return failure.number() == udsNegativeResponseError(kSessionControl, nrc).number();
}

} // namespace

ByteString kwpCheckedExchange(MessageLink& link, const ByteString& request, ReplyStep& step) {
    ByteString reply;
    try {
        reply = kwpExchange(link, request, step);
    } catch (const Error& failure) {
        if (isDefaultRequest(request) && failure.number() == nrc_error::kSubFunctionNotSupported) {
            throw Error(uds_error::kFamilyMismatch,
                        "the ECU refuses the session request " + request.text() +
                            " (7F 10 12) as UDS ECUs do: it likely speaks UDS; try the link key "
                            "diag=uds with the session request 1003",
                        kSource);
        }
        throw;
    }
    if (isSessionRequest(request) && reply.length() == kUdsSessionReplyLength) {
        throw Error(uds_error::kFamilyMismatch,
                    "the session reply " + reply.text() +
                        " carries P2 and P2* as a UDS ECU's does: the ECU likely speaks UDS; try "
                        "the link key diag=uds",
                    kSource);
    }
    return reply;
}

Error udsSessionFailure(const ByteString& request, const Error& failure) {
    if (isDefaultRequest(request)) {
        const bool refused = isSessionRefusal(failure, uds_nrc::kSubFunctionNotSupported);
        if (refused || failure.number() == kNoAnswerError) {
            return Error(uds_error::kDefaultSessionRequest,
                         std::string("the ECU ") +
                             (refused ? "refuses the session request 10A0 (7F 10 12)"
                                      : "does not answer the session request 10A0") +
                             ": 10A0 is the KWP2000 default, which a UDS ECU takes for a reserved "
                             "session; set the session request to 1003 (extended session)",
                         kSource);
        }
        return failure;
    }
    if (isSessionRequest(request) &&
        (isSessionRefusal(failure, uds_nrc::kServiceNotSupported) ||
         isSessionRefusal(failure, uds_nrc::kSubFunctionNotSupported))) {
        return Error(uds_error::kFamilyMismatch,
                     failure.description() + ": the ECU does not know the UDS session " +
                         request.text() + "; it likely speaks KWP2000: try the link key diag=kwp",
                     kSource);
    }
    return failure;
}

void checkUdsSessionReply(const ByteString& request, const ByteString& reply) {
    if (!isSessionRequest(request) || reply.length() >= kUdsSessionReplyLength) {
        return;
    }
    const std::string what = isDefaultRequest(request)
                                 ? "the ECU answers the session request 10A0 positively (" +
                                       reply.text() +
                                       "), as a KWP2000 ECU does and a UDS ECU never does"
                                 : "the session reply " + reply.text() +
                                       " carries no P2 and P2* as every UDS ECU's does";
    throw Error(uds_error::kFamilyMismatch,
                what + ": the ECU likely speaks KWP2000; try the link key diag=kwp", kSource);
}

} // namespace vistrel
