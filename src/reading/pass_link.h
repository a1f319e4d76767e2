// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "components/protocol.h"

#include <functional>
#include <optional>
#include <set>
#include <string>

namespace vistrel {

// The link as one pass over the list sees it. Every exchange of every
// reading method goes through it, so that a silent ECU shows the same way
// whatever the method:
// - the first exchange of the pass that gets no answer at all is told at
//   once, not at the end of a pass that may take many reply times;
// - after two exchanges in a row without any answer, every further exchange
//   of the pass fails at once with the same error and sends nothing: a
//   silent ECU costs a pass two reply times, not one per item. The next
//   pass tries again.
// A negative reply, a garbled or a late one is an answer. A request that
// went unanswered in the last pass while the ECU answered others (an item
// whose memory the ECU will not read) is no sign of a silent ECU: it neither
// counts nor is told.
class PassLink : public Protocol {
public:
    using SilenceBegan = std::function<void(const Error&)>;

    // knownSilent holds the requests of the last pass that went unanswered
    // while others were answered; finish() updates it.
    PassLink(Protocol& link, std::set<std::string>& knownSilent, SilenceBegan silenceBegan);

    // The pass is over: what went unanswered while the ECU answered others
    // is known silent in the next one.
    void finish();

    std::string title() const override { return link_.title(); }
    std::string subtitle() const override { return link_.subtitle(); }
    std::string protocolName() const override { return link_.protocolName(); }
    std::int32_t canRid() const override { return link_.canRid(); }
    std::int32_t canXid() const override { return link_.canXid(); }
    void InitCommunication() override { link_.InitCommunication(); }
    void SendReceive(const ByteString& request, ByteString& reply) override;
    CanXmlProcessor* canXml() override { return link_.canXml(); }
    CanXmlProcessor* batch() override { return link_.batch(); }
    std::size_t maxReplyLength() const override { return link_.maxReplyLength(); }
    ExchangeCost exchangeCost() const override { return link_.exchangeCost(); }
    std::vector<std::string> linkNotes() const override { return link_.linkNotes(); }
    DiagnosticFamily family() const override { return link_.family(); }
    void keepAlive() override { link_.keepAlive(); }
    PeriodicSource* periodicSource() override { return link_.periodicSource(); }

private:
    void unanswered(const ByteString& request, const Error& failure);

    Protocol& link_;
    std::set<std::string>& knownSilent_;
    SilenceBegan silenceBegan_;
    std::set<std::string> silentNow_;
    bool answeredAny_ = false;
    bool told_ = false;
    int silentInARow_ = 0;
    // The silence that ends the pass.
    std::optional<Error> givenUp_;
};

} // namespace vistrel
