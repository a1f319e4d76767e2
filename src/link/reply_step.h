// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"

#include <vector>

namespace vistrel {

class MessageLink;

// Keeps the requests and the replies of one message link in step, whatever
// the diagnostic family.
//
// Most replies tell which request they answer by their service byte alone: a
// memory read's 63 carries nothing but data. After a request got no answer
// in time, the ECU may still answer it, and that late answer would pass for
// the answer to the next request of the same service, showing one address's
// memory as another's value. So the requests that went unanswered are
// remembered until the line is shown in step again, and before the next
// request goes out:
// - if its reply could be taken for a late one (the same service: a negative
//   reply does not even repeat the identifier it refuses), a TesterPresent
//   goes first and everything before its reply is dropped; then the line is
//   in step and the request goes out. When the TesterPresent gets no answer,
//   the request fails as unanswered; when only other messages come, as
//   "late or out-of-step reply"; it is not sent then;
// - otherwise it goes out at once, a reply that can only answer an earlier
//   request is dropped while the wait for its own goes on, and its own
//   shows the line in step.
// While the line is in step, none of this costs anything.
//
// The rules hold for KWP2000 and UDS alike (positive replies add 40 to the
// service, negative ones are 7F and the service); the exchange function of
// a family gives its TesterPresent request. One object per link, living as
// long as the link's connection: a fresh connection is in step.
class ReplyStep {
public:
    // syncRequest brings the line back in step: a request whose reply
    // names its service and that no reading method sends (TesterPresent).
    explicit ReplyStep(ByteString syncRequest);

    enum class Verdict {
        // The reply may be taken as the answer to the current request.
        Ours,
        // It answers an earlier request only: drop it, wait on.
        Earlier,
    };

    // Call before sending request: brings the line back in step first when
    // request's reply could be taken for a late one. Throws the silence, or
    // "late or out-of-step reply", when it cannot; request is then not sent.
    void beforeRequest(MessageLink& link, const ByteString& request);
    // What reply is to request; keeps track of what it shows about the
    // line. A reply that answers nothing asked is Ours: the exchange judges
    // it as before.
    Verdict judge(const ByteString& request, const ByteString& reply);
    // request got no answer in time: its answer may still come.
    void unanswered(const ByteString& request);
    bool inStep() const noexcept { return unanswered_.empty(); }

private:
    // A reply names its request by the service byte alone (positive, or
    // the one a negative reply repeats).
    static bool couldAnswer(const ByteString& request, const ByteString& reply);
    // Whether a reply to request could also answer a remembered request.
    bool confusable(const ByteString& request) const;
    // Sends the sync request and drops every message before its reply.
    void resync(MessageLink& link);
    // Whether reply could answer a remembered request; if so, that request
    // and the older ones are answered now.
    bool answersEarlier(const ByteString& reply);

    ByteString syncRequest_;
    // Oldest first; the ECU answers in order.
    std::vector<ByteString> unanswered_;
};

} // namespace vistrel
