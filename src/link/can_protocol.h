// SPDX-License-Identifier: MIT
#pragma once

#include "components/protocol.h"
#include "link/can_settings.h"
#include "link/kwp_exchange.h"
#include "link/line_keeper.h"
#include "link/message_link.h"
#include "link/uds_session.h"

#include <memory>
#include <string>

namespace vistrel {

// KWP2000 or UDS on CAN (ISO 15765): whole messages through an ISO-TP link
// on an slcan adapter, a socketcand server or a SocketCAN interface. There
// is no StartCommunication and no wake-up on CAN: InitCommunication opens
// the adapter or socket, and the session request goes out as any request.
// With diag=uds the UDS session does what UDS needs around the exchanges,
// and the frames of periodic identifiers come through periodicSource().
class CanProtocol : public Protocol, private PeriodicSource {
public:
    using Opener = DeviceKeeper<MessageLink>::Opener;

    CanProtocol(CanSettings settings, Opener open);

    std::string title() const override;
    std::string subtitle() const override;
    std::string protocolName() const override { return uds_ ? "UDS" : "KWP2000"; }
    std::int32_t canRid() const override { return 0; }
    std::int32_t canXid() const override { return 0; }
    CanXmlProcessor* canXml() override { return nullptr; }

    void InitCommunication() override;
    void SendReceive(const ByteString& request, ByteString& reply) override;
    // One ISO-TP transfer holds up to 4095 bytes.
    std::size_t maxReplyLength() const override;

    DiagnosticFamily family() const override { return settings_.diagnostic.family; }
    void keepAlive() override;
    PeriodicSource* periodicSource() override { return uds_ ? this : nullptr; }

private:
    template <typename Step> void guarded(Step&& step) { link_.guard(step); }
    void requireOpen() const;

    std::size_t periodicDataBytes() const override;
    std::optional<ByteString> receivePeriodic(std::chrono::milliseconds timeout) override;
    std::uint8_t periodicRate() const override { return settings_.diagnostic.periodicRate; }
    bool periodicIdOfItsOwn() const override;

    CanSettings settings_;
    DeviceKeeper<MessageLink> link_;
    // Requests that may still be answered late.
    ReplyStep replyStep_ = kwpReplyStep();
    // Only for diag=uds.
    std::unique_ptr<UdsLinkSession> uds_;
};

} // namespace vistrel
