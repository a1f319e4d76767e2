// SPDX-License-Identifier: MIT
#pragma once

#include "components/protocol.h"
#include "link/doip_link.h"
#include "link/doip_settings.h"
#include "link/line_keeper.h"
#include "link/uds_session.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vistrel {

// UDS over DoIP: InitCommunication makes the TCP connection and activates
// routing (falling back to the other protocol version once when the entity
// does not speak the first); each exchange is a diagnostic message to the
// ECU and its reply, with the UDS session's steps around it (timing,
// security access, TesterPresent). A connection that broke or can no longer
// be trusted is made again by the next InitCommunication.
class DoipProtocol : public Protocol {
public:
    // Makes the TCP connection to the entity; throws Error when it cannot.
    using Connector = std::function<std::unique_ptr<ByteLine>()>;

    DoipProtocol(DoipSettings settings, Connector connect);

    std::string title() const override { return "DoIP"; }
    std::string subtitle() const override;
    std::string protocolName() const override { return "UDS"; }
    std::int32_t canRid() const override { return 0; }
    std::int32_t canXid() const override { return 0; }
    CanXmlProcessor* canXml() override { return nullptr; }
    DiagnosticFamily family() const override { return DiagnosticFamily::Uds; }

    void InitCommunication() override;
    void SendReceive(const ByteString& request, ByteString& reply) override;
    void keepAlive() override;
    // The ECU behind a gateway usually sits on CAN: one ISO-TP transfer.
    std::size_t maxReplyLength() const override;
    std::vector<std::string> linkNotes() const override { return notes_; }

private:
    std::unique_ptr<DoipLink> connect();
    std::string endpoint() const;
    template <typename Step> void guarded(Step&& step);

    DoipSettings settings_;
    Connector connect_;
    // The version that worked last, so that a fallback is found only once.
    std::uint8_t version_;
    std::vector<std::string> notes_;
    DeviceKeeper<DoipLink> link_;
    std::unique_ptr<UdsLinkSession> uds_;
};

} // namespace vistrel
