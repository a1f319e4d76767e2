// SPDX-License-Identifier: MIT
#pragma once

#include "components/protocol.h"
#include "link/can_settings.h"
#include "link/kwp_exchange.h"
#include "link/line_keeper.h"
#include "link/message_link.h"

#include <memory>
#include <string>

namespace vistrel {

// KWP2000 on CAN (ISO 15765): whole messages through an ISO-TP link on an
// slcan adapter, a socketcand server or a SocketCAN interface. There is no
// StartCommunication and no wake-up on CAN: InitCommunication opens the
// adapter or socket, and the session request goes out as any request.
class CanProtocol : public Protocol {
public:
    using Opener = DeviceKeeper<MessageLink>::Opener;

    CanProtocol(CanSettings settings, Opener open);

    std::string title() const override;
    std::string subtitle() const override;
    std::string protocolName() const override { return "KWP2000"; }
    std::int32_t canRid() const override { return 0; }
    std::int32_t canXid() const override { return 0; }
    CanXmlProcessor* canXml() override { return nullptr; }

    void InitCommunication() override;
    void SendReceive(const ByteString& request, ByteString& reply) override;
    // One ISO-TP transfer holds up to 4095 bytes.
    std::size_t maxReplyLength() const override;

private:
    template <typename Step> void guarded(Step&& step) { link_.guard(step); }

    CanSettings settings_;
    DeviceKeeper<MessageLink> link_;
    // Requests that may still be answered late.
    ReplyStep replyStep_ = kwpReplyStep();
};

} // namespace vistrel
