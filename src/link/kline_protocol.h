// SPDX-License-Identifier: MIT
#pragma once

#include "components/protocol.h"
#include "link/byte_line.h"
#include "link/kline_frame.h"
#include "link/kline_settings.h"
#include "link/kwp_exchange.h"
#include "link/line_protocol.h"
#include "link/message_link.h"
#include "link/reply_step.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vistrel {

// KWP2000 over a K-line (ISO 14230-2) on a serial line: wake-up, framing in
// the header form the ECU offers, the cable's echo, the timings P1 to P4,
// while the KWP2000 layer above it handles "response pending" and negative
// replies. The line is opened on the first InitCommunication
// and again after it was lost, so a missing or pulled cable shows as a
// failed step that the cycle retries.
//
// The session is kept while requests keep coming; after a pause longer than
// the ECU keeps a session (P3max), the next call wakes the ECU up again.
class KLineProtocol : public LineProtocol, private MessageLink {
public:
    using LineOpener = LineKeeper::Opener;

    // openLine opens the line or throws Error.
    KLineProtocol(KLineSettings settings, LineOpener openLine);

    std::string title() const override;
    std::string subtitle() const override;
    void InitCommunication() override;
    void SendReceive(const ByteString& request, ByteString& reply) override;
    // What the ECU's key bytes offer: 255 bytes with a length byte, 63 in the
    // format byte alone; 0 before a wake-up told them.
    std::size_t maxReplyLength() const override;
    // P3min, the ECU's earliest answer and the frames' own bytes an
    // exchange; one byte time for each more byte of a reply.
    ExchangeCost exchangeCost() const override;

    // The key bytes of the last wake-up, once there was one.
    std::optional<std::pair<std::uint8_t, std::uint8_t>> keyBytes() const { return keyBytes_; }

private:
    using Clock = ByteLine::Clock;
    using Bytes = std::vector<std::uint8_t>;

    void openLineIfClosed();
    bool sessionAlive() const;
    void wakeUp();
    void fastInit();
    void fiveBaudInit();
    void sendFiveBaud(std::uint8_t byte);
    std::uint8_t readInitByte(Clock::time_point deadline, const char* what);
    void sendMessage(const ByteString& request) override;
    std::optional<ByteString> receiveMessage(Milliseconds timeout) override;
    Milliseconds replyTimeout() const override { return settings_.p2max; }
    // Frames data and sends it, keeping what came back after the echo.
    void sendFrame(std::span<const std::uint8_t> data, bool afterWakeUp);
    // The data of the next frame for us that begins within timeout of the
    // last byte on the line; nothing when none did. Throws garbled replies.
    std::optional<Bytes> readFrame(Clock::duration timeout);
    void prepareLine(bool afterWakeUp);
    void sendPaced(std::span<const std::uint8_t> frame);
    // Bytes that came back after the request and belong to the reply (none
    // when the line echoed all of it).
    Bytes takeEcho(std::span<const std::uint8_t> frame);
    [[noreturn]] void garbled(std::int32_t number, const std::string& text);
    Clock::duration byteTime() const;

    KLineSettings settings_;
    KLineHeaderForm form_;
    std::optional<std::pair<std::uint8_t, std::uint8_t>> keyBytes_;
    // Whether the cable echoes: set by the echo key, or once an echo was
    // seen.
    std::optional<bool> echo_;
    bool sessionOpen_ = false;
    // The end of the last reply that the ECU answered in order.
    Clock::time_point lastReply_{};
    // The last byte seen on the line either way.
    Clock::time_point lastActivity_{};
    // The last exchange went wrong on the line: wait for quiet first.
    bool resync_ = false;
    // Bytes that came in (after the echo, after a frame) and belong to no
    // frame read yet.
    Bytes unread_;
    // Requests that may still be answered late, for the session's life.
    ReplyStep replyStep_ = kwpReplyStep();
};

} // namespace vistrel
