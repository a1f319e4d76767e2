// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "components/periodic_source.h"
#include "components/protocol.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace vistrel::fuzzing {

// Answers each request with the next fuzzed reply, of up to maxReply bytes,
// or throws a fuzzed error; tells a fuzzed frame size, 0 (cannot tell)
// included, speaks a fuzzed family and, when asked to, delivers fuzzed
// periodic frames on a clock that moves only while they are waited for.
class FuzzedProtocol final : public Protocol, public PeriodicSource {
public:
    FuzzedProtocol(FuzzedDataProvider& input, std::size_t maxReply, bool anyFamily = false)
        : input_(input), maxReply_(maxReply),
          frameSize_(input.ConsumeIntegralInRange<std::size_t>(0, 300)),
          family_(anyFamily && input.ConsumeBool() ? DiagnosticFamily::Uds
                                                   : DiagnosticFamily::Kwp2000),
          periodic_(anyFamily && input.ConsumeBool()) {}

    std::string title() const override { return "fuzz"; }
    std::string subtitle() const override { return "fuzz"; }
    std::string protocolName() const override { return "fuzz"; }
    std::int32_t canRid() const override { return 0; }
    std::int32_t canXid() const override { return 0; }
    CanXmlProcessor* canXml() override { return nullptr; }
    void InitCommunication() override {}
    std::size_t maxReplyLength() const override { return frameSize_; }
    DiagnosticFamily family() const override { return family_; }
    PeriodicSource* periodicSource() override { return periodic_ ? this : nullptr; }

    std::size_t periodicDataBytes() const override { return 7; }
    std::uint8_t periodicRate() const override { return 3; }
    bool periodicIdOfItsOwn() const override { return false; }
    std::optional<ByteString> receivePeriodic(std::chrono::milliseconds timeout) override {
        if (!input_.ConsumeBool()) {
            now += timeout;
            return std::nullopt;
        }
        now += std::chrono::milliseconds(1);
        return ByteString(
            input_.ConsumeBytes<std::uint8_t>(input_.ConsumeIntegralInRange<std::size_t>(0, 9)));
    }

    std::chrono::steady_clock::time_point now{};

    void SendReceive(const ByteString& request, ByteString& reply) override {
        if (request.empty()) {
            __builtin_trap();
        }
        if (input_.ConsumeBool()) {
            throw Error(input_.ConsumeIntegral<std::int32_t>(),
                        input_.ConsumeRandomLengthString(32));
        }
        reply = ByteString(input_.ConsumeBytes<std::uint8_t>(
            input_.ConsumeIntegralInRange<std::size_t>(0, maxReply_)));
    }

private:
    FuzzedDataProvider& input_;
    std::size_t maxReply_;
    std::size_t frameSize_;
    DiagnosticFamily family_;
    bool periodic_;
};

} // namespace vistrel::fuzzing
