// SPDX-License-Identifier: MIT
#pragma once

#include "components/protocol.h"
#include "link/line_keeper.h"

#include <memory>
#include <string>

namespace vistrel {

// What the protocol objects on a serial line share: KWP2000 item by item
// (no CAN-XML batch), and a line kept by a LineKeeper. Every step keeps the
// object alive, because the idle hook may let the owner drop its last
// reference in the middle of an exchange: make them with std::make_shared.
class LineProtocol : public Protocol, public std::enable_shared_from_this<LineProtocol> {
public:
    std::string protocolName() const override { return "KWP2000"; }
    std::int32_t canRid() const override { return 0; }
    std::int32_t canXid() const override { return 0; }
    CanXmlProcessor* canXml() override { return nullptr; }

protected:
    // openLine opens the line or throws Error; idle runs while the link
    // waits without a line (between attempts to reopen one).
    LineProtocol(LineKeeper::Opener openLine, IdleHook idle)
        : line_(std::move(openLine), std::move(idle)) {}

    template <typename Step> void guarded(Step&& step) {
        const auto keepAlive = weak_from_this().lock();
        line_.guard(step);
    }

    LineKeeper line_;
};

} // namespace vistrel
