// SPDX-License-Identifier: MIT
#pragma once

#include "components/protocol.h"
#include "link/byte_line.h"
#include "link/elm_reply.h"
#include "link/elm_settings.h"
#include "link/kwp_exchange.h"
#include "link/line_protocol.h"
#include "link/message_link.h"
#include "link/uds_session.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vistrel {

// KWP2000, or on CAN also UDS, through an ELM327-family adapter on a serial
// line (USB or Bluetooth): the adapter frames the bus itself, we speak its
// AT commands and read its text replies. InitCommunication brings the adapter up (reset,
// formats, protocol, addresses, bus wake-up) the first time, after the line
// was lost and after the adapter restarted; later calls only wake the bus
// again when the session may have lapsed.
//
// Clones lack commands here and there: where a fallback exists the link
// takes it and records it once in fallbacks(); where none does, the
// bring-up fails with a text naming the command.
//
// The link only moves messages: the KWP2000 layer above it gives "response
// pending" and negative replies their meaning. Whatever the adapter does, no
// byte goes to it before its prompt: any byte would stop the request it is
// working on.
class ElmProtocol : public LineProtocol, private MessageLink {
public:
    // Opens the device at the link string's speed (the first of the
    // automatic ones for baud=auto), or throws Error.
    using LineOpener = LineKeeper::Opener;

    ElmProtocol(ElmSettings settings, LineOpener openLine);

    std::string title() const override;
    // The device, the bus, and once known what the adapter says it is.
    std::string subtitle() const override;
    void InitCommunication() override;
    void SendReceive(const ByteString& request, ByteString& reply) override;
    // Without ATAL an adapter takes no K-line message beyond 7 bytes; on CAN
    // it reassembles whole ISO 15765 transfers.
    std::size_t maxReplyLength() const override;
    // The bus's exchange and the adapter's lines an exchange; the bus time
    // and two hexadecimal digits on the serial line for each more byte.
    ExchangeCost exchangeCost() const override;

    // "ELM327 v1.5 (OBDII to RS232 Interpreter)" once brought up.
    const std::string& identity() const noexcept { return identity_; }
    // What the link does instead of the commands the adapter lacks.
    const std::vector<std::string>& fallbacks() const noexcept { return fallbacks_; }
    std::vector<std::string> linkNotes() const override { return fallbacks_; }
    DiagnosticFamily family() const override { return settings_.diagnostic.family; }
    // TesterPresent through the adapter, which answers it NO DATA.
    void keepAlive() override;

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
    void sendMessage(const ByteString& request) override;
    std::optional<ByteString> receiveMessage(Milliseconds timeout) override;
    Milliseconds replyTimeout() const override;
    // Queues the messages of an answer; throws the adapter's messages.
    void takeAnswer(const std::string& answer);

    enum class Asking { Setting, Request };
    // Sends one line and returns what the adapter printed before its prompt,
    // its echo left out; gives up when the adapter stays quiet for that
    // long. A request waits longer once the ECU asked for patience, and its
    // silence leaves the adapter working: the next line waits for the prompt.
    std::string ask(const std::string& line, Milliseconds quiet, Asking asking = Asking::Setting);
    // Waits for the prompt of a request the adapter may still be working on.
    void awaitPrompt();
    std::string withoutEcho(std::string answer, const std::string& line);
    // Notices a restart the adapter announced between two exchanges.
    void checkUnsolicited();
    std::string exchange(const std::string& text);
    [[noreturn]] void restarted();
    std::size_t requestLimit() const noexcept;
    Milliseconds replyQuiet() const noexcept;
    ElmLineFormat lineFormat() const noexcept;
    std::string busLabel() const;

    ElmSettings settings_;
    // Only for diag=uds.
    std::unique_ptr<UdsLinkSession> uds_;
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
    // A request that ended in silence: the adapter may still be on it.
    bool awaitingPrompt_ = false;
    // The adapter echoed a line after ATE0, and ATE0 was sent again.
    bool echoResent_ = false;
    // The request going on, the messages of its answer not yet taken, and
    // whether the last one taken asked for patience.
    std::string requestText_;
    std::deque<ByteString> received_;
    bool lastWasPending_ = false;
    Clock::time_point lastMessageAt_{};
    // Requests that may still be answered late.
    ReplyStep replyStep_ = kwpReplyStep();
};

} // namespace vistrel
