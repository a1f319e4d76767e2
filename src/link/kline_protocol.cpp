// SPDX-License-Identifier: MIT
#include "link/kline_protocol.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "components/negative_response.h"
#include "link/kwp_exchange.h"
#include "link/serial_line.h"

#include <algorithm>
#include <array>

namespace vistrel {
namespace {

constexpr std::uint8_t kStartCommunication = 0x81;
constexpr std::uint8_t kStartCommunicationReply = 0xC1;
constexpr std::uint8_t kSyncByte = 0x55;
// A session that has been idle this close to P3max may already be over by
// the ECU's clock: wake the ECU up again instead.
constexpr Milliseconds kSessionMargin{1000};
// Five-baud wake-up: one bit lasts 200 ms. The sync byte starts at most W1
// after the address byte's stop bit; it is seen once it has crossed the wire
// and the USB adapter has passed it on, which may take tens of
// milliseconds more. The key bytes and the inverted address are given
// generous room beyond W2 to W4.
constexpr Milliseconds kFiveBaudBit{200};
constexpr Milliseconds kW1{300};
constexpr Milliseconds kLineLatency{50};
constexpr Milliseconds kFiveBaudAnswer{300};
constexpr Milliseconds kW4{25};

std::string hexText(std::span<const std::uint8_t> bytes) {
    std::string text;
    appendHex(text, bytes);
    return text;
}

} // namespace

KLineProtocol::KLineProtocol(KLineSettings settings, LineOpener openLine)
    : LineProtocol(std::move(openLine)), settings_(std::move(settings)) {}

std::string KLineProtocol::title() const {
    return "K-line";
}

std::string KLineProtocol::subtitle() const {
    return settings_.device;
}

std::size_t KLineProtocol::maxReplyLength() const {
    if (!keyBytes_) {
        return 0;
    }
    return form_.lengthByte ? kKLineLongFrameData : kKLineShortFrameData;
}

ExchangeCost KLineProtocol::exchangeCost() const {
    // A read request frame (header, five bytes, checksum) paced at P4min,
    // and the reply's header, service byte and checksum.
    constexpr long kRequestFrame = 10;
    constexpr long kReplyOverhead = 5;
    const auto paced = std::max<Clock::duration>(settings_.p4min, byteTime());
    return {settings_.p3min + kline_time::kP2min + kRequestFrame * paced +
                kReplyOverhead * byteTime(),
            byteTime()};
}

void KLineProtocol::InitCommunication() {
    guarded([this] {
        openLineIfClosed();
        if (!sessionAlive()) {
            wakeUp();
        }
    });
}

void KLineProtocol::SendReceive(const ByteString& request, ByteString& reply) {
    guarded([&] {
        if (line_.gone()) {
            throw Error(link_error::kDeviceUnavailable,
                        "K-line: the line is gone; the communication opens it again",
                        "KLineProtocol.SendReceive");
        }
        openLineIfClosed();
        if (!sessionAlive()) {
            wakeUp();
        }
        reply = kwpExchange(*this, request, replyStep_);
    });
}

void KLineProtocol::openLineIfClosed() {
    if (!line_.open()) {
        return;
    }
    echo_.reset();
    if (settings_.echo != KLineEcho::Auto) {
        echo_ = settings_.echo == KLineEcho::On;
    }
    form_ = KLineHeaderForm{};
    sessionOpen_ = false;
    resync_ = false;
    unread_.clear();
    lastActivity_ = line_->now();
}

bool KLineProtocol::sessionAlive() const {
    if (settings_.init == KLineInit::None) {
        return true;
    }
    return sessionOpen_ && line_->now() - lastReply_ < kline_time::kP3max - kSessionMargin;
}

void KLineProtocol::wakeUp() {
    // A session that may still run by the ECU's clock must end first: no
    // ECU answers a wake-up in the middle of one.
    const auto idleFrom =
        sessionOpen_ ? std::max(lastActivity_, lastReply_ + kline_time::kP3max - kline_time::kW5)
                     : lastActivity_;
    sessionOpen_ = false;
    line_->waitUntil(idleFrom + kline_time::kW5);
    line_->discardInput();
    if (settings_.init == KLineInit::FiveBaud) {
        fiveBaudInit();
    } else {
        fastInit();
    }
    sessionOpen_ = true;
    lastReply_ = lastActivity_;
    // An ECU in a new session answers nothing of the last one.
    replyStep_ = kwpReplyStep();
}

void KLineProtocol::fastInit() {
    const auto start = line_->now();
    line_->setBreak(true);
    line_->waitUntil(start + kline_time::kTiniL);
    line_->setBreak(false);
    line_->waitUntil(start + kline_time::kTwup);
    lastActivity_ = line_->now();
    form_ = KLineHeaderForm{};
    sendFrame(std::array{kStartCommunication}, true);
    const std::optional<Bytes> answer = readFrame(settings_.p2max);
    if (!answer) {
        throw Error(kInitFailedError, "K-line init: no answer to StartCommunication",
                    "KLineProtocol.InitCommunication");
    }
    const Bytes& reply = *answer;
    if (reply.size() != 3 || reply[0] != kStartCommunicationReply) {
        throw Error(kInitFailedError,
                    "K-line init: unexpected answer to StartCommunication (" + hexText(reply) + ")",
                    "KLineProtocol.InitCommunication");
    }
    keyBytes_ = {reply[1], reply[2]};
    form_ = headerFormFromKeyByte(reply[1]);
}

void KLineProtocol::fiveBaudInit() {
    sendFiveBaud(settings_.target);
    line_->discardInput();
    const std::uint8_t sync =
        readInitByte(lastActivity_ + kW1 + byteTime() + kLineLatency, "sync byte");
    if (sync != kSyncByte) {
        throw Error(kInitFailedError, "K-line init: wrong sync byte 0x" + hexText(std::array{sync}),
                    "KLineProtocol.InitCommunication");
    }
    const std::uint8_t kb1 = readInitByte(line_->now() + kFiveBaudAnswer, "key byte 1");
    const std::uint8_t kb2 = readInitByte(line_->now() + kFiveBaudAnswer, "key byte 2");
    line_->waitUntil(line_->now() + kW4);
    const std::array inverted{static_cast<std::uint8_t>(~kb2)};
    line_->write(inverted);
    lastActivity_ = line_->now();
    // An echoing cable hands the inverted key byte back before the ECU's
    // answer; this is also where an unknown echo shows itself.
    std::uint8_t address = readInitByte(line_->now() + kFiveBaudAnswer, "inverted address");
    if (echo_ != false && address == inverted[0]) {
        echo_ = true;
        address = readInitByte(line_->now() + kFiveBaudAnswer, "inverted address");
    }
    if (address != static_cast<std::uint8_t>(~settings_.target)) {
        throw Error(kInitFailedError,
                    "K-line init: wrong inverted address 0x" + hexText(std::array{address}),
                    "KLineProtocol.InitCommunication");
    }
    keyBytes_ = {kb1, kb2};
    form_ = headerFormFromKeyByte(kb1);
}

void KLineProtocol::sendFiveBaud(std::uint8_t byte) {
    // Start bit low, eight data bits from the lowest, stop bit high: the
    // line held by hand, since no UART goes down to 5 baud.
    auto edge = line_->now();
    const auto hold = [&](bool low) {
        line_->setBreak(low);
        edge += kFiveBaudBit;
        line_->waitUntil(edge);
    };
    hold(true);
    for (int bit = 0; bit < 8; ++bit) {
        hold(((byte >> bit) & 1) == 0);
    }
    hold(false);
    lastActivity_ = line_->now();
}

std::uint8_t KLineProtocol::readInitByte(Clock::time_point deadline, const char* what) {
    std::array<std::uint8_t, 1> byte{};
    if (line_->read(byte, deadline) == 0) {
        throw Error(kInitFailedError, std::string("K-line init: no ") + what,
                    "KLineProtocol.InitCommunication");
    }
    lastActivity_ = line_->now();
    return byte[0];
}

void KLineProtocol::sendMessage(const ByteString& request) {
    sendFrame(request.bytes(), false);
}

std::optional<ByteString> KLineProtocol::receiveMessage(Milliseconds timeout) {
    std::optional<Bytes> data = readFrame(timeout);
    if (!data) {
        return std::nullopt;
    }
    lastReply_ = lastActivity_;
    return ByteString(std::move(*data));
}

void KLineProtocol::sendFrame(std::span<const std::uint8_t> data, bool afterWakeUp) {
    Bytes frame;
    if (!encodeKLineFrame(frame, form_, settings_.target, settings_.source, data)) {
        throw Error(link_error::kGarbledFrame,
                    "K-line: a request of " + std::to_string(data.size()) +
                        " bytes fits no frame this ECU accepts",
                    "KLineProtocol.SendReceive");
    }
    prepareLine(afterWakeUp);
    sendPaced(frame);
    unread_ = takeEcho(frame);
}

void KLineProtocol::prepareLine(bool afterWakeUp) {
    if (!unread_.empty()) {
        unread_.clear();
        resync_ = true;
    }
    if (resync_) {
        // A late or garbled reply may still be on its way: wait until the
        // line has been quiet for P2max so that it cannot run into the next
        // request.
        // A line that never goes quiet is broken: the exchange fails
        // instead of waiting for ever.
        std::array<std::uint8_t, 64> drop{};
        const auto giveUp = line_->now() + kline_time::kP3max;
        while (line_->read(drop, line_->now() + settings_.p2max) != 0) {
            if (line_->now() > giveUp) {
                throw Error(link_error::kGarbledFrame,
                            "K-line: the line does not go quiet (noise, or another tester?)",
                            "KLineProtocol.SendReceive");
            }
        }
        lastActivity_ = line_->now();
        resync_ = false;
    }
    // StartCommunication follows the wake-up pattern at once; every other
    // request keeps P3min after the last byte on the line.
    if (!afterWakeUp) {
        line_->waitUntil(lastActivity_ + settings_.p3min);
    }
    line_->discardInput();
}

void KLineProtocol::sendPaced(std::span<const std::uint8_t> frame) {
    // The ECU's P2 runs from the end of the last byte on the wire, not from
    // the moment the bytes were handed to the line: a write returns long
    // before a frame has gone out at 10400 baud.
    if (settings_.p4min.count() == 0) {
        const auto start = line_->now();
        line_->write(frame);
        lastActivity_ = start + static_cast<long>(frame.size()) * byteTime();
        return;
    }
    const auto gap = std::max<Clock::duration>(settings_.p4min, byteTime());
    auto next = line_->now();
    for (const std::uint8_t byte : frame) {
        line_->waitUntil(next);
        line_->write(std::span(&byte, 1));
        next = line_->now() + gap;
    }
    lastActivity_ = line_->now() + byteTime();
}

KLineProtocol::Bytes KLineProtocol::takeEcho(std::span<const std::uint8_t> frame) {
    if (echo_ == false) {
        return {};
    }
    // With the echo known to be there, it must come back whole and
    // unchanged; while it is unknown, the first byte that differs from the
    // request shows that the line does not echo and starts the reply.
    Bytes arrived;
    std::array<std::uint8_t, 64> chunk{};
    const auto deadline = lastActivity_ + settings_.p2max;
    while (arrived.size() < frame.size()) {
        const std::size_t n = line_->read(chunk, deadline);
        if (n == 0) {
            break;
        }
        arrived.insert(arrived.end(), chunk.begin(), chunk.begin() + static_cast<long>(n));
        if (!std::equal(arrived.begin(),
                        arrived.begin() + static_cast<long>(std::min(arrived.size(), frame.size())),
                        frame.begin())) {
            break;
        }
    }
    lastActivity_ = std::max(lastActivity_, line_->now());
    const auto differs = std::mismatch(arrived.begin(), arrived.end(), frame.begin(), frame.end());
    const bool whole = arrived.size() >= frame.size() && differs.second == frame.end();
    if (whole) {
        echo_ = true;
        return Bytes(arrived.begin() + static_cast<long>(frame.size()), arrived.end());
    }
    if (echo_ == true && arrived.empty() && settings_.echo != KLineEcho::On) {
        // The echo was seen before and the user never said the cable
        // echoes: a silent line now means that the far end went quiet, not
        // that a setting is wrong.
        garbled(kNoAnswerError, "K-line: no answer, not even the echo of the request: the ECU "
                                "or the cable stopped answering");
    }
    if (echo_ == true) {
        garbled(link_error::kWrongEcho,
                arrived.empty() ? "K-line: no echo of the request (is echo=on right for this "
                                  "cable?)"
                                : "K-line: wrong echo of the request (" + hexText(arrived) +
                                      " for " + hexText(frame) + "): a collision or a broken line");
    }
    // Only an echo is learnt for good: a first exchange that went wrong must
    // not teach the link that an echoing cable is silent.
    return arrived;
}

std::optional<KLineProtocol::Bytes> KLineProtocol::readFrame(Clock::duration timeout) {
    KLineFrameReader reader;
    auto deadline = lastActivity_ + timeout;
    const auto byteGap = std::max<Clock::duration>(kline_time::kP1max, settings_.p2max);
    Bytes arrived = std::move(unread_);
    unread_.clear();
    std::array<std::uint8_t, 64> chunk{};
    std::size_t next = 0;
    for (;;) {
        if (next == arrived.size()) {
            arrived.clear();
            next = 0;
            const std::size_t n = line_->read(chunk, deadline);
            if (n == 0) {
                // A late reply must not run into the next request either.
                resync_ = true;
                if (reader.bytes().empty()) {
                    return std::nullopt;
                }
                garbled(link_error::kGarbledFrame,
                        "K-line: reply cut short (" + hexText(reader.bytes()) + ")");
            }
            arrived.assign(chunk.begin(), chunk.begin() + static_cast<long>(n));
            lastActivity_ = line_->now();
            deadline = lastActivity_ + byteGap;
        }
        switch (reader.push(arrived[next++])) {
        case KLineFrameReader::Status::NeedMore:
            continue;
        case KLineFrameReader::Status::Garbled:
            garbled(link_error::kGarbledFrame,
                    "K-line: garbled reply (" + hexText(reader.bytes()) + ")");
        case KLineFrameReader::Status::BadChecksum:
            garbled(link_error::kBadChecksum,
                    "K-line: bad checksum in the reply (" + hexText(reader.bytes()) + ")");
        case KLineFrameReader::Status::Complete:
            break;
        }
        if (reader.hasAddresses() &&
            (reader.target() != settings_.source || reader.source() != settings_.target)) {
            garbled(link_error::kForeignAddress,
                    "K-line: reply from address " + hexText(std::array{reader.source()}) + " to " +
                        hexText(std::array{reader.target()}) + ", expected from " +
                        hexText(std::array{settings_.target}));
        }
        // Bytes after the frame may be the next one (the answer right after
        // "response pending"); those that nobody reads are let pass before the
        // next request.
        unread_.assign(arrived.begin() + static_cast<long>(next), arrived.end());
        const auto data = reader.data();
        return Bytes(data.begin(), data.end());
    }
}

void KLineProtocol::garbled(std::int32_t number, const std::string& text) {
    // Also after no answer: a late reply must not run into the next request.
    resync_ = true;
    throw Error(number, text, "KLineProtocol.SendReceive");
}

ByteLine::Clock::duration KLineProtocol::byteTime() const {
    // Start bit, eight data bits, stop bit.
    return std::chrono::microseconds(10'000'000 / settings_.baud);
}

} // namespace vistrel
