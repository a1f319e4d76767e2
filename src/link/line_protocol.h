// SPDX-License-Identifier: MIT
#pragma once

#include "components/protocol.h"
#include "link/line_keeper.h"

#include <memory>
#include <string>

namespace vistrel {

// What the protocol objects on a serial line share: KWP2000 item by item
// (no CAN-XML batch), and a line kept by a LineKeeper.
class LineProtocol : public Protocol {
public:
    std::string protocolName() const override { return "KWP2000"; }
    std::int32_t canRid() const override { return 0; }
    std::int32_t canXid() const override { return 0; }
    CanXmlProcessor* canXml() override { return nullptr; }

protected:
    // openLine opens the line or throws Error.
    explicit LineProtocol(LineKeeper::Opener openLine) : line_(std::move(openLine)) {}

    template <typename Step> void guarded(Step&& step) { line_.guard(step); }

    LineKeeper line_;
};

} // namespace vistrel
