// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "sim/kwp_responder.h"

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
// cheap clones lack (ATFI, ATAL, ATWM) and ignores the reply-count suffix
// the same way.
class ElmAdapter {
public:
    using Ecu = std::function<Answer(const ByteString& request, ByteString& reply)>;

    ElmAdapter(Ecu ecu, bool clone, ElmEcuAddresses addresses = {});

    // Takes bytes from the tester and gives back what the adapter prints.
    std::string receive(std::string_view bytes);

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

    std::string command(std::string_view line);
    std::string atCommand(std::string_view command);
    std::string request(std::string_view digits);
    std::string klineReply(const ByteString& reply) const;
    std::string canReply(const ByteString& reply, std::uint32_t replyId) const;
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
    ElmEcuAddresses addresses_;
    Settings settings_;
    std::string pending_;
    std::string lastRequest_;
    std::string injected_;
    bool injectedThenReply_ = false;
    bool rebootOnNextRequest_ = false;
};

} // namespace vistrel
