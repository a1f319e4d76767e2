// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "components/protocol.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace vistrel::fuzzing {

// Answers each request with the next fuzzed reply, of up to maxReply bytes,
// or throws a fuzzed error; tells a fuzzed frame size, 0 (cannot tell)
// included.
class FuzzedProtocol final : public Protocol {
public:
    FuzzedProtocol(FuzzedDataProvider& input, std::size_t maxReply)
        : input_(input), maxReply_(maxReply),
          frameSize_(input.ConsumeIntegralInRange<std::size_t>(0, 300)) {}

    std::string title() const override { return "fuzz"; }
    std::string subtitle() const override { return "fuzz"; }
    std::string protocolName() const override { return "fuzz"; }
    std::int32_t canRid() const override { return 0; }
    std::int32_t canXid() const override { return 0; }
    CanXmlProcessor* canXml() override { return nullptr; }
    void InitCommunication() override {}
    std::size_t maxReplyLength() const override { return frameSize_; }

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
};

} // namespace vistrel::fuzzing
