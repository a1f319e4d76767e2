// SPDX-License-Identifier: MIT
#include "link/slcan_bus.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "link/can_settings.h"

#include <algorithm>
#include <array>

namespace vistrel {
namespace {

constexpr const char* kSource = "SlcanBus";
// An adapter answers a command at once; this covers a slow USB round trip.
constexpr std::chrono::milliseconds kCommandWait{500};

bool isBell(const std::string& line) {
    return !line.empty() && line.back() == SlcanLineSplitter::kBell[0];
}

} // namespace

SlcanBus::SlcanBus(std::unique_ptr<ByteLine> line, std::string name, unsigned bitrate)
    : line_(std::move(line)), name_(std::move(name)) {
    // Close first: its answer does not matter (BEL when it was closed).
    const std::string close = "C\r";
    line_->write(std::span(reinterpret_cast<const std::uint8_t*>(close.data()), close.size()));
    fill(line_->now() + kCommandWait);
    lines_.clear();
    nextLine_ = 0;
    const auto rate = std::find(std::begin(kSlcanBitrates), std::end(kSlcanBitrates), bitrate);
    const auto code = static_cast<char>('0' + (rate - std::begin(kSlcanBitrates)));
    command(std::string("S") + code, "set the bit rate " + std::to_string(bitrate));
    command("O", "open the channel");
}

void SlcanBus::command(const std::string& text, const std::string& meaning) {
    const std::string out = text + "\r";
    line_->write(std::span(reinterpret_cast<const std::uint8_t*>(out.data()), out.size()));
    const auto deadline = line_->now() + kCommandWait;
    for (;;) {
        while (nextLine_ < lines_.size()) {
            const std::string& answer = lines_[nextLine_++];
            if (isBell(answer)) {
                throw Error(can_error::kCarrierRefused,
                            "slcan adapter on " + name_ + " refused " + text + " (" + meaning +
                                "): it answered BEL",
                            kSource);
            }
            if (answer.empty()) {
                return;
            }
        }
        if (!fill(deadline)) {
            throw Error(can_error::kCarrierRefused,
                        "slcan adapter on " + name_ + " does not answer " + text + " (" + meaning +
                            ") — is it an slcan adapter?",
                        kSource);
        }
    }
}

bool SlcanBus::fill(Clock::time_point deadline) {
    if (nextLine_ == lines_.size()) {
        lines_.clear();
        nextLine_ = 0;
    }
    std::array<std::uint8_t, 256> buffer{};
    const std::size_t n = line_->read(buffer, deadline);
    splitter_.push(std::span(buffer.data(), n), lines_);
    return n > 0;
}

void SlcanBus::send(const CanFrame& frame) {
    lastSent_ = slcanFrameText(frame);
    const std::string out = lastSent_ + "\r";
    line_->write(std::span(reinterpret_cast<const std::uint8_t*>(out.data()), out.size()));
}

std::optional<CanFrame> SlcanBus::receive(Clock::time_point deadline) {
    for (;;) {
        while (nextLine_ < lines_.size()) {
            const std::string& line = lines_[nextLine_++];
            if (isBell(line)) {
                throw Error(can_error::kCarrierRefused,
                            "slcan adapter on " + name_ + " could not send " + lastSent_ +
                                " (BEL): no other node acknowledges — wrong bit rate, or the ECU "
                                "is off?",
                            kSource);
            }
            if (auto frame = parseSlcanFrame(line)) {
                return frame;
            }
            // z, Z and bare CRs confirm our frames; anything else is not ours.
        }
        if (!fill(deadline)) {
            return std::nullopt;
        }
    }
}

} // namespace vistrel
