// SPDX-License-Identifier: MIT
#pragma once

#include "components/protocol.h"
#include "link/byte_line.h"
#include "link/elm_reply.h"
#include "link/elm_settings.h"
#include "link/line_protocol.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vistrel {

// KWP2000 through an ELM327-family adapter on a serial line (USB or
// Bluetooth): the adapter frames the bus itself, we speak its AT commands
// and read its text replies. InitCommunication brings the adapter up (reset,
// formats, protocol, addresses, bus wake-up) the first time, after the line
// was lost and after the adapter restarted; later calls only wake the bus
// again when the session may have lapsed.
//
// Clones lack commands here and there: where a fallback exists the link
// takes it and records it once in fallbacks(); where none does, the
// bring-up fails with a text naming the command.
class ElmProtocol : public LineProtocol {
public:
    // Opens the device at the link string's speed (the first of the
    // automatic ones for baud=auto), or throws Error.
    using LineOpener = LineKeeper::Opener;

    ElmProtocol(ElmSettings settings, LineOpener openLine, IdleHook idle = {});

    std::string title() const override;
    // The device, the bus, and once known what the adapter says it is.
    std::string subtitle() const override;
    void InitCommunication() override;
    void SendReceive(const ByteString& request, ByteString& reply) override;
    // Without ATAL an adapter takes no K-line message beyond 7 bytes; on CAN
    // it reassembles whole ISO 15765 transfers.
    std::size_t maxReplyLength() const override;

    // "ELM327 v1.5 (OBDII to RS232 Interpreter)" once brought up.
    const std::string& identity() const noexcept { return identity_; }
    // What the link does instead of the commands the adapter lacks.
    const std::vector<std::string>& fallbacks() const noexcept { return fallbacks_; }

private:
    using Clock = ByteLine::Clock;
    using Milliseconds = std::chrono::milliseconds;

    void openLineIfClosed();
    void bringUp();
    void reset();
    bool resetAt();
    void setUpCan();
    void wakeBus();
    void identify();
    // Sends an AT command; true on "OK", false on "?". A required one that
    // is refused fails the bring-up.
    bool setting(const std::string& command, bool required = true);
    void fallback(std::string text);
    // Sends one line and returns what the adapter printed before its prompt;
    // gives up when the adapter stays quiet for that long.
    std::string ask(const std::string& line, Milliseconds quiet);
    // Notices a restart the adapter announced between two exchanges.
    void checkUnsolicited();
    std::string exchange(const std::string& text);
    [[noreturn]] void restarted();
    std::size_t requestLimit() const noexcept;
    Milliseconds replyQuiet() const noexcept;
    ElmLineFormat lineFormat() const noexcept;
    std::string busLabel() const;

    ElmSettings settings_;
    unsigned baud_ = 0;
    bool broughtUp_ = false;
    bool restarted_ = false;
    std::string identity_;
    std::vector<std::string> fallbacks_;
    // What the adapter can do, learnt during the bring-up.
    bool countsReplies_ = false;
    bool countConfirmed_ = false;
    bool longRequests_ = false;
    bool keepsSession_ = false;
    bool busAwake_ = false;
    Clock::time_point lastExchange_{};
    // Bytes after a prompt, kept to look for a restart banner.
    std::string unsolicited_;
};

} // namespace vistrel
