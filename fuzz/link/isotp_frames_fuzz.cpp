// SPDX-License-Identifier: MIT
// Arbitrary frames from the ECU's id: the transport takes whatever they make
// as replies without a crash, an overrun or a hang, and no reply is longer
// than one transfer can be.
#include "components/error.h"
#include "link/isotp_transport.h"

#include <cstdint>
#include <cstdlib>

namespace {

using namespace vistrel;

// The input as frames, one every millisecond on a fake clock: a byte for the
// length (0 to 15, so that impossible lengths come too), then the data.
class InputBus : public CanBus {
public:
    InputBus(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool exhausted() const noexcept { return at_ >= size_; }
    Clock::time_point now() const override { return now_; }
    void waitUntil(Clock::time_point deadline) override { now_ = std::max(now_, deadline); }
    void send(const CanFrame&) override {}
    std::optional<CanFrame> receive(Clock::time_point deadline) override {
        if (exhausted()) {
            waitUntil(deadline);
            return std::nullopt;
        }
        CanFrame frame;
        frame.id = 0x7E8;
        frame.length = static_cast<std::uint8_t>(data_[at_++] & 0x0F);
        for (std::size_t i = 0; i < frame.data.size() && at_ < size_; ++i) {
            frame.data[i] = data_[at_++];
        }
        now_ += std::chrono::milliseconds(1);
        return frame;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    Clock::time_point now_{};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto owned = std::make_unique<InputBus>(data, size);
    const InputBus& bus = *owned;
    IsoTpSettings settings;
    settings.blockSize = 2;
    IsoTpTransport transport(std::move(owned), settings);
    while (!bus.exhausted()) {
        try {
            if (const auto reply = transport.receiveMessage(std::chrono::milliseconds(150));
                reply && reply->length() > isotp::kMaxMessage) {
                std::abort();
            }
        } catch (const Error&) {
        }
    }
    return 0;
}
