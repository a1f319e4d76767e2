// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "sim/ecu_responder.h"
#include "sim/elm_quirks.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vistrel {

// The bus addresses under which the virtual adapter's ECU answers.
struct ElmEcuAddresses {
    std::uint8_t kline = 0x10;
    std::uint32_t canRequest11 = 0x7E0;
    std::uint32_t canReply11 = 0x7E8;
    std::uint32_t canRequest29 = 0x18DA10F1;
    std::uint32_t canReply29 = 0x18DAF110;
};

// An ELM327 v1.5 in front of an ECU, as the bytes it exchanges with the
// tester: AT commands with the adapter's answers, requests as hexadecimal
// lines, replies in K-line (ISO 14230) or CAN (ISO 15765) form. It knows
// nothing of the line it is served on. A clone answers "?" to the commands
// cheap clones lack (ATFI, ATAL, ATWM). The quirks make it behave as real
// adapters and ECUs are reported to.
class ElmAdapter {
public:
    using Ecu = std::function<Answer(const ByteString& request, ByteString& reply)>;

    ElmAdapter(Ecu ecu, bool clone, ElmQuirks quirks = {}, ElmEcuAddresses addresses = {});

    // Takes bytes from the tester and gives back what the adapter prints.
    std::string receive(std::string_view bytes);
    // Whether the last line received was a request to the bus, which a real
    // adapter works on for a while.
    bool workedOnRequest() const noexcept { return workedOnRequest_; }
    // What the adapter prints when a byte arrives while it works on a request.
    std::string stop() const;

    // What the adapter prints when it powers up again on its own.
    std::string reboot();
    // The next request gets these lines instead of the ECU's reply; with
    // thenReply the lines come first and the reply follows (a progress
    // message such as "SEARCHING...").
    void sayOnNextRequest(std::string lines, bool thenReply = false);
    // The next request meets a restart instead of an answer.
    void rebootOnNextRequest() { rebootOnNextRequest_ = true; }

private:
    struct Settings {
        bool echo = true;
        bool linefeeds = true;
        bool spaces = true;
        bool headers = false;
        bool allowLong = false;
        bool canFormatting = true;
        char protocol = '0';
        // ATSH: K-line format, target and source; a CAN identifier otherwise.
        ByteString header{0xC1, 0x33, 0xF1};
        std::uint32_t canReceive = 0;
        bool canReceiveSet = false;
        bool flowControlSet = false;
        std::uint32_t flowControlHeader = 0;
        std::uint8_t initAddress = 0x33;
        // The top byte of a 29-bit identifier, set apart from the header.
        std::uint8_t priority = 0x18;
        bool busAwake = false;
    };

    std::string restart();
    std::string command(std::string_view line);
    std::string atCommand(std::string_view command);
    std::string busInit(std::string_view command);
    std::string request(std::string_view digits);
    // The lines of one reply, without the prompt.
    std::string replyLines(const ByteString& reply, std::uint32_t replyId) const;
    std::string klineLine(const ByteString& reply) const;
    std::string canLines(const ByteString& reply, std::uint32_t replyId) const;
    // The quirks of how the adapter prints.
    std::string dressed(std::string text) const;
    std::string bytesText(std::span<const std::uint8_t> bytes) const;
    std::string line(std::string_view text) const;
    std::string prompt() const;
    // One line, then the end of the answer.
    std::string answer(std::string_view text) const;
    bool isKline() const noexcept { return settings_.protocol == '4' || settings_.protocol == '5'; }
    bool isCan() const noexcept { return settings_.protocol >= '6' && settings_.protocol <= '9'; }
    bool is29Bit() const noexcept { return settings_.protocol == '7' || settings_.protocol == '9'; }

    Ecu ecu_;
    bool clone_;
    ElmQuirks quirks_;
    int requests_ = 0;
    bool workedOnRequest_ = false;
    bool wakeUpStopped_ = false;
    ElmEcuAddresses addresses_;
    Settings settings_;
    std::string pending_;
    std::string lastRequest_;
    std::string injected_;
    bool injectedThenReply_ = false;
    bool rebootOnNextRequest_ = false;
};

} // namespace vistrel
