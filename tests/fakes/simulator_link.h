// SPDX-License-Identifier: MIT
#pragma once

#include "components/protocol.h"
#include "sim/simulated_ecu.h"

#include <memory>
#include <string>
#include <utility>

namespace vistrel::testing {

// A protocol object that passes every call on to a simulated ECU. Tests and
// benchmarks derive from it to time, watch or disturb the exchanges while the
// simulator answers them.
class SimulatorLink : public Protocol {
public:
    explicit SimulatorLink(std::shared_ptr<SimulatedEcu> ecu) : ecu_(std::move(ecu)) {}

    std::string title() const override { return ecu_->title(); }
    std::string subtitle() const override { return ecu_->subtitle(); }
    std::string protocolName() const override { return ecu_->protocolName(); }
    std::int32_t canRid() const override { return ecu_->canRid(); }
    std::int32_t canXid() const override { return ecu_->canXid(); }
    CanXmlProcessor* canXml() override { return ecu_->canXml(); }
    void InitCommunication() override { ecu_->InitCommunication(); }
    void SendReceive(const ByteString& request, ByteString& reply) override {
        ecu_->SendReceive(request, reply);
    }

private:
    std::shared_ptr<SimulatedEcu> ecu_;
};

} // namespace vistrel::testing
