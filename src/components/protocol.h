// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "components/diagnostic_family.h"
#include "components/periodic_source.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pugi {
class xml_document;
}

namespace vistrel {

// Performs a CAN-XML batch: for each request frame of the document it writes
// the reply frame under the matching "r" element, or an "e" element naming
// the failure of the whole exchange.
class CanXmlProcessor {
public:
    virtual ~CanXmlProcessor() = default;
    virtual void CanXmlExecute(pugi::xml_document& document) = 0;
};

// The CAN identifiers of the ECU behind a gateway, passed into a CAN-XML
// request.
class CanInterface {
public:
    virtual ~CanInterface() = default;
    virtual std::int32_t canRid() const = 0;
    virtual std::int32_t canXid() const = 0;
};

// The protocol name under which a link accepts CAN-XML batches.
inline constexpr const char* kBatchProtocolName = "Marlotel";

// What one exchange costs on a link, for reads that gather neighbours into
// one request: the time of an exchange whatever its size, and the time that
// each more byte of its reply adds. Nothing known when perExchange is 0.
struct ExchangeCost {
    std::chrono::nanoseconds perExchange{0};
    std::chrono::nanoseconds perByte{0};
};

// The host's link to one ECU: speaks KWP2000 and reports every failure
// (time-out, negative reply, broken link) by throwing Error.
class Protocol : public CanInterface {
public:
    virtual std::string title() const = 0;
    virtual std::string subtitle() const = 0;
    // "Marlotel" when reads may go out as one CAN-XML batch.
    virtual std::string protocolName() const = 0;

    // Opens the link; throws while the link cannot be opened yet.
    virtual void InitCommunication() = 0;
    // Sends the request bytes; on return reply holds the ECU's reply, service
    // byte first.
    virtual void SendReceive(const ByteString& request, ByteString& reply) = 0;
    // The batch processor, or nullptr when this link has none. Owned by the
    // protocol object.
    virtual CanXmlProcessor* canXml() = 0;
    // The processor through which reads by address go out as one CAN-XML
    // batch, or nullptr when this link reads item by item. A protocol object
    // that names itself for batches and has a processor offers it; a link
    // that knows better says so here.
    virtual CanXmlProcessor* batch() {
        return protocolName() == kBatchProtocolName ? canXml() : nullptr;
    }
    // The most bytes that one reply can carry, service byte included, when
    // the link knows its frame size; 0 when it cannot tell. Reads that
    // gather several items stay within it.
    virtual std::size_t maxReplyLength() const { return 0; }
    // The link's own cost model; nothing known by default.
    virtual ExchangeCost exchangeCost() const { return {}; }
    // What the link found out while opening and does differently from the
    // usual (an adapter's missing commands and their fallbacks), each a line
    // for the user; shown once, not on every opening.
    virtual std::vector<std::string> linkNotes() const { return {}; }

    // The family the link speaks; the reading methods spell their requests in
    // it.
    virtual DiagnosticFamily family() const { return DiagnosticFamily::Kwp2000; }
    // Called on the engine's thread at least every 500 ms while the
    // communication is open and no exchange is going on (between reads,
    // paused, waiting out a delay, reading periodic identifiers), so that a
    // link whose ECU forgets an idle session can keep it (UDS sends
    // TesterPresent when no request went out for 2 s).
    virtual void keepAlive() {}
    // Where the ECU's unrequested frames arrive, or nullptr when the link
    // cannot carry periodic identifiers.
    virtual PeriodicSource* periodicSource() { return nullptr; }
};

// One exchange whose reply holds this exchange's answer and nothing older: a
// protocol object that returns without filling reply leaves it empty, so an
// earlier answer never passes for a new one.
inline void exchange(Protocol& protocol, const ByteString& request, ByteString& reply) {
    reply.clear();
    protocol.SendReceive(request, reply);
}

} // namespace vistrel
