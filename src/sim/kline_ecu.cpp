// SPDX-License-Identifier: MIT
#include "sim/kline_ecu.h"

#include "components/negative_response.h"

#include <algorithm>
#include <array>

namespace vistrel {
namespace {

constexpr std::uint8_t kStartCommunication = 0x81;
constexpr std::uint8_t kStartCommunicationReply = 0xC1;
// How often serve asks whether to go on while the line is quiet.
constexpr auto kPollSlice = std::chrono::milliseconds(100);
// A request whose next byte is this late is abandoned, as a real ECU does
// when the tester's inter-byte time runs out.
constexpr auto kStaleFrame = std::chrono::milliseconds(500);
// "GARBAGE": its first byte is no format byte of any header.
const std::vector<std::uint8_t> kGarbage = {0x47, 0x41, 0x52, 0x42, 0x41, 0x47, 0x45};

} // namespace

KLineEcu::KLineEcu(const EcuDescription& description, KLineEcuSettings settings)
    : settings_(std::move(settings)), responder_(makeResponder(description)),
      silentStarts_(description.faults.initFailures), latency_(description.latencyUs) {}

bool KLineEcu::due(WireFault fault, unsigned count) const {
    return count != 0 &&
           std::any_of(settings_.faults.begin(), settings_.faults.end(),
                       [&](const WireFaultRule& rule) {
                           return rule.fault == fault &&
                                  (fault == WireFault::SilentAfter ? count > rule.every
                                                                   : count % rule.every == 0);
                       });
}

KLineEcu::Outcome KLineEcu::serve(ByteLine& line, const std::function<bool()>& keepGoing) {
    std::array<std::uint8_t, 256> chunk{};
    // A new line starts with no request under way.
    reader_.reset();
    auto lastByte = line.now();
    while (keepGoing()) {
        const std::size_t n = line.read(chunk, line.now() + kPollSlice);
        if (n == 0) {
            if (line.now() - lastByte > kStaleFrame) {
                reader_.reset();
            }
            continue;
        }
        lastByte = line.now();
        const std::span<const std::uint8_t> received(chunk.data(), n);
        if (settings_.echo) {
            Bytes echo(received.begin(), received.end());
            if (reader_.bytes().empty() && due(WireFault::WrongEcho, frames_ + 1)) {
                echo.front() ^= 0x20;
            }
            line.write(echo);
        }
        for (const std::uint8_t byte : received) {
            const auto status = reader_.push(byte);
            if (status == KLineFrameReader::Status::NeedMore) {
                continue;
            }
            // A garbled request or one with a bad checksum is dropped: the
            // tester hears nothing and tries again.
            if (status == KLineFrameReader::Status::Complete) {
                if (reader_.data().empty() || reader_.data()[0] != kTesterPresentService) {
                    ++frames_;
                }
                if (!answer(line)) {
                    return Outcome::HungUp;
                }
            }
            reader_.reset();
        }
    }
    return Outcome::Stopped;
}

bool KLineEcu::answer(ByteLine& line) {
    if (reader_.hasAddresses() && reader_.target() != settings_.address) {
        return true;
    }
    const Bytes request(reader_.data().begin(), reader_.data().end());
    if (settings_.log) {
        settings_.log("request " + ByteString(request).text());
    }
    if (due(WireFault::SilentAfter, frames_)) {
        return true;
    }
    const unsigned count = !request.empty() && request[0] == kTesterPresentService ? 0 : frames_;
    const std::uint8_t tester = reader_.source();
    KLineHeaderForm form;
    form.addresses = reader_.hasAddresses();
    const auto frame = [&](std::span<const std::uint8_t> data) {
        Bytes out;
        encodeKLineFrame(out, form, tester, settings_.address, data);
        return out;
    };
    const auto replyAt = line.now() + settings_.p2 + latency_ +
                         (due(WireFault::Late, count) ? kLateAnswer : std::chrono::milliseconds(0));

    if (request.size() == 1 && request[0] == kStartCommunication) {
        ++starts_;
        if (silentStarts_ > 0) {
            --silentStarts_;
            return true;
        }
        if (!due(WireFault::SilentStart, starts_)) {
            line.waitUntil(replyAt);
            send(line, frame(std::array{kStartCommunicationReply, settings_.kb1, settings_.kb2}));
        }
        return true;
    }
    if (due(WireFault::HangUp, count)) {
        return false;
    }
    ByteString reply;
    const Answer answer = responder_->answer(request, reply);
    if (answer.kind == Answer::Kind::None || answer.kind == Answer::Kind::Suppressed ||
        due(WireFault::NoAnswer, count)) {
        return true;
    }
    if (due(WireFault::Negative, count)) {
        negativeAnswer(request[0], nrc::kConditionsNotCorrect, reply);
    }
    line.waitUntil(replyAt);
    if (due(WireFault::Pending, count)) {
        send(line, frame(std::array{kwp::kNegativeReply, request[0], kwp::kResponsePending}));
        line.waitUntil(line.now() + 4 * settings_.p2);
    }
    Bytes out = frame(reply.bytes());
    if (due(WireFault::BadChecksum, count)) {
        out.back() ^= 0xFF;
    }
    send(line, due(WireFault::Garbage, count) ? kGarbage : out);
    return true;
}

void KLineEcu::send(ByteLine& line, const Bytes& frame) {
    if (settings_.p1.count() == 0) {
        line.write(frame);
        return;
    }
    for (const std::uint8_t byte : frame) {
        line.write(std::span(&byte, 1));
        line.waitUntil(line.now() + settings_.p1);
    }
}

} // namespace vistrel
