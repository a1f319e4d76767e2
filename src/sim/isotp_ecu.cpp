// SPDX-License-Identifier: MIT
#include "sim/isotp_ecu.h"

#include "components/negative_response.h"

#include <algorithm>

namespace vistrel {
namespace {

// The gap between two WAIT flow controls, and the pause of a pending reply.
constexpr std::chrono::milliseconds kWaitGap{10};
constexpr std::chrono::milliseconds kPendingPause{50};
// The frame of another node that the noise fault puts on the bus.
constexpr std::uint32_t kNoiseId = 0x123;

} // namespace

IsoTpEcuSettings IsoTpEcu::withAddressing(IsoTpEcuSettings settings,
                                          const EcuDescription& description) {
    if (!settings.requestAddress) {
        settings.requestAddress = description.ext;
        settings.replyAddress = description.rxext;
    }
    return settings;
}

IsoTpEcu::IsoTpEcu(const EcuDescription& description, IsoTpEcuSettings settings)
    : settings_(withAddressing(std::move(settings), description)),
      room_(isotp::roomOf(settings_.replyAddress.has_value())),
      responder_(makeResponder(description, room_.single)),
      latency_(description.latencyUs), out_{settings_.replyId, settings_.extended,
                                            std::uint8_t{0xAA}, settings_.replyAddress} {
    if (rule(WireFault::NoPadding) != nullptr) {
        out_.padding.reset();
    }
    responder_->setClock([this] { return now_; });
    EcuFaults& faults = responder_->faults();
    if (const WireFaultRule* seedDelay = rule(WireFault::SeedDelay)) {
        faults.seedDelayEvery = seedDelay->every;
    }
    faults.newSeedEveryRequest = rule(WireFault::NewSeed) != nullptr;
    if (const WireFaultRule* stop = rule(WireFault::PeriodicStop)) {
        faults.periodicStopsAfter = stop->every;
    }
}

const WireFaultRule* IsoTpEcu::rule(WireFault fault) const {
    const auto found = std::find_if(settings_.faults.begin(), settings_.faults.end(),
                                    [&](const WireFaultRule& r) { return r.fault == fault; });
    return found == settings_.faults.end() ? nullptr : &*found;
}

bool IsoTpEcu::due(WireFault fault, unsigned count) const {
    const WireFaultRule* found = rule(fault);
    if (found == nullptr || count == 0) {
        return false;
    }
    return fault == WireFault::SilentAfter ? count > found->every : count % found->every == 0;
}

void IsoTpEcu::queue(const CanFrame& frame, Clock::time_point at) {
    if (!outgoing_.empty()) {
        at = std::max(at, outgoing_.back().first);
    }
    if (rule(WireFault::Noise) != nullptr) {
        CanFrame noise;
        noise.id = kNoiseId;
        noise.length = 8;
        noise.data = {0x02, 0x01, 0x0D, 0x55, 0x55, 0x55, 0x55, 0x55};
        outgoing_.emplace_back(at, noise);
    }
    outgoing_.emplace_back(at, frame);
}

void IsoTpEcu::queuePeriodic(Clock::time_point now) {
    isotp::Addressing periodic = out_;
    periodic.id = settings_.periodicId.value_or(settings_.replyId);
    for (const ByteString& message : responder_->periodicFrames()) {
        // No protocol control byte: the identifier's byte leads the frame,
        // after the address byte with extended addressing.
        CanFrame frame;
        frame.id = periodic.id;
        frame.extended = periodic.extended;
        auto out = frame.data.begin();
        if (periodic.address) {
            *out++ = *periodic.address;
        }
        const auto bytes = message.bytes();
        out = std::copy(bytes.begin(), bytes.end(), out);
        frame.length = static_cast<std::uint8_t>(out - frame.data.begin());
        if (periodic.padding) {
            std::fill(frame.data.begin() + frame.length, frame.data.end(), *periodic.padding);
            frame.length = 8;
        }
        queue(frame, now);
    }
}

std::vector<CanFrame> IsoTpEcu::due(Clock::time_point now) {
    now_ = now;
    if (const auto periodic = responder_->nextPeriodic(); periodic && *periodic <= now) {
        queuePeriodic(now);
    }
    std::vector<CanFrame> frames;
    while (!outgoing_.empty() && outgoing_.front().first <= now) {
        frames.push_back(outgoing_.front().second);
        outgoing_.pop_front();
    }
    return frames;
}

std::optional<IsoTpEcu::Clock::time_point> IsoTpEcu::nextDue() const {
    const auto periodic = responder_->nextPeriodic();
    if (outgoing_.empty()) {
        return periodic;
    }
    return periodic ? std::min(*periodic, outgoing_.front().first) : outgoing_.front().first;
}

void IsoTpEcu::receive(const CanFrame& frame, Clock::time_point now) {
    now_ = now;
    if (frame.id != settings_.requestId || frame.extended != settings_.extended) {
        return;
    }
    const auto read = isotp::readFrame(frame, settings_.requestAddress);
    if (!read) {
        return;
    }
    if (read->kind == isotp::FrameKind::FlowControl) {
        takeFlowControl(*read, now);
    } else {
        takeRequest(*read, now);
    }
}

void IsoTpEcu::takeRequest(const isotp::Frame& frame, Clock::time_point now) {
    switch (frame.kind) {
    case isotp::FrameKind::Single:
        request_.clear();
        requestLength_ = 0;
        answer({frame.data.begin(), frame.data.end()}, now);
        return;
    case isotp::FrameKind::First: {
        request_.assign(frame.data.begin(), frame.data.end());
        requestLength_ = frame.length;
        requestNumber_ = 1;
        requestBlock_ = 0;
        if (due(WireFault::FlowOverflow, requests_ + 1)) {
            ++requests_;
            requestLength_ = 0;
            queue(isotp::flowControl(out_, isotp::FlowStatus::Overflow, 0, 0), now);
            return;
        }
        auto at = now;
        if (const WireFaultRule* wait = rule(WireFault::FlowWait)) {
            for (unsigned i = 0; i < wait->every; ++i, at += kWaitGap) {
                queue(isotp::flowControl(out_, isotp::FlowStatus::Wait, 0, 0), at);
            }
        }
        queue(isotp::flowControl(out_, isotp::FlowStatus::ContinueToSend, settings_.blockSize,
                                 settings_.separation),
              at);
        return;
    }
    case isotp::FrameKind::Consecutive: {
        if (requestLength_ == 0) {
            return;
        }
        if (frame.number != (requestNumber_ & 0x0F)) {
            // A lost frame: the request is dropped, the tester times out.
            requestLength_ = 0;
            return;
        }
        ++requestNumber_;
        const std::size_t take = std::min(frame.data.size(), requestLength_ - request_.size());
        request_.insert(request_.end(), frame.data.begin(), frame.data.begin() + take);
        if (request_.size() == requestLength_) {
            requestLength_ = 0;
            answer(request_, now);
        } else if (settings_.blockSize != 0 && ++requestBlock_ == settings_.blockSize) {
            requestBlock_ = 0;
            queue(isotp::flowControl(out_, isotp::FlowStatus::ContinueToSend, settings_.blockSize,
                                     settings_.separation),
                  now);
        }
        return;
    }
    case isotp::FrameKind::FlowControl:
        return;
    }
}

void IsoTpEcu::answer(const std::vector<std::uint8_t>& request, Clock::time_point now) {
    if (settings_.log) {
        settings_.log("request " + ByteString(request).text());
    }
    // TesterPresent (count 0) meets no fault of the requests.
    const unsigned count =
        !request.empty() && request[0] == kTesterPresentService ? 0 : ++requests_;
    if (due(WireFault::SilentAfter, requests_)) {
        return;
    }
    ByteString reply;
    if (due(WireFault::Busy, count)) {
        // Busy: the ECU takes nothing in; the tester repeats the request.
        negativeAnswer(request[0], nrc::kBusyRepeatRequest, reply);
        queue(isotp::singleFrame(out_, reply.bytes()), now + latency_);
        return;
    }
    const Answer answer = responder_->answer(request, reply);
    if (answer.kind == Answer::Kind::None || answer.kind == Answer::Kind::Suppressed ||
        due(WireFault::NoAnswer, count)) {
        return;
    }
    if (due(WireFault::Negative, count)) {
        negativeAnswer(request[0], nrc::kConditionsNotCorrect, reply);
    }
    auto at =
        now + latency_ + (due(WireFault::Late, count) ? kLateAnswer : std::chrono::milliseconds(0));
    if (due(WireFault::Pending, count)) {
        const std::uint8_t pending[] = {kwp::kNegativeReply, request[0], kwp::kResponsePending};
        queue(isotp::singleFrame(out_, pending), at);
        at += kPendingPause;
    }
    loseFrame_ = due(WireFault::LostFrame, count);
    bendNumber_ = due(WireFault::BadSequence, count);
    startReply({reply.bytes().begin(), reply.bytes().end()}, at);
}

void IsoTpEcu::startReply(std::vector<std::uint8_t> reply, Clock::time_point at) {
    if (reply.size() <= room_.single) {
        queue(isotp::singleFrame(out_, reply), at);
        return;
    }
    reply.resize(std::min(reply.size(), isotp::kMaxMessage));
    reply_ = std::move(reply);
    queue(isotp::firstFrame(out_, reply_), at);
    replySent_ = room_.first;
    replyNumber_ = 1;
    awaitingFlowControl_ = true;
}

void IsoTpEcu::takeFlowControl(const isotp::Frame& frame, Clock::time_point now) {
    if (!awaitingFlowControl_ ||
        frame.number != static_cast<std::uint8_t>(isotp::FlowStatus::ContinueToSend)) {
        // WAIT keeps us waiting; overflow and unknown statuses end the reply.
        awaitingFlowControl_ = awaitingFlowControl_ &&
                               frame.number == static_cast<std::uint8_t>(isotp::FlowStatus::Wait);
        return;
    }
    const auto gap = isotp::separationTime(frame.separation);
    auto at = std::max(now, outgoing_.empty() ? now : outgoing_.back().first);
    for (unsigned inBlock = 0;
         replySent_ < reply_.size() && (frame.blockSize == 0 || inBlock < frame.blockSize);
         ++inBlock, at += gap) {
        std::uint8_t number = replyNumber_++;
        if (bendNumber_ && number == 1) {
            number = 3;
        }
        const auto chunk = std::span<const std::uint8_t>(reply_).subspan(replySent_);
        replySent_ += std::min(room_.consecutive, chunk.size());
        if (loseFrame_ && number == 2) {
            continue;
        }
        queue(isotp::consecutiveFrame(out_, number, chunk), at);
    }
    awaitingFlowControl_ = replySent_ < reply_.size();
}

} // namespace vistrel
