// SPDX-License-Identifier: MIT
#include "link/elm_protocol.h"

#include "components/error_numbers.h"
#include "components/negative_response.h"
#include "link/elm_errors.h"
#include "link/family_mismatch.h"
#include "link/kwp_exchange.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vistrel {
namespace {

constexpr const char* kSource = "ElmProtocol";
// A reset takes a genuine adapter about a second.
constexpr std::chrono::milliseconds kResetQuiet{2500};
constexpr std::chrono::milliseconds kSettingQuiet{1000};
// The adapter's reply timeout when the link string sets none (ATST 32).
constexpr std::chrono::milliseconds kAdapterDefaultTimeout{205};
// Room beyond the adapter's own timeout: the serial line and the adapter's
// own work on the reply.
constexpr std::chrono::milliseconds kReplyMargin{500};
// A request that must wake the K-line first (no ATFI) waits for the whole
// wake-up, which the adapter retries.
constexpr std::chrono::milliseconds kWakeUpQuiet{6000};
// Between exchanges the ECU ends a K-line session after P3max (5 s); an
// adapter without a keep-alive wakes the bus again before that risk.
constexpr std::chrono::milliseconds kSessionIdle{4000};
// An adapter that prints and never prompts is cut off here.
constexpr std::size_t kAnswerLimit = 16384;
constexpr double kTimeoutStepMs = 4.096;
// Message sizes: the standard OBD limit of 7 data bytes, the longest K-line
// message whose length fits in the format byte, the 12-bit length of an
// ISO 15765 transfer.
constexpr std::size_t kKLineShortMessage = 7;
constexpr std::size_t kKLineLongReply = 63;
constexpr std::size_t kCanReplyLimit = 0xFFF;
// ISO 15765 flow control: continue to send, no block limit, no gap.
constexpr const char* kFlowControlData = "300000";

// Whether the adapter's answer holds part, in either letter case.
bool contains(std::string_view text, std::string_view part) {
    return upperCaseText(text).find(part) != std::string::npos;
}

bool isPending(const ByteString& message) {
    return message.length() == 3 && message.byte(0) == kwp::kNegativeReply &&
           message.byte(2) == kwp::kResponsePending;
}

// "ELM327 v1.5" gives 15, "ELM327 v2.1" 21; 0 when there is no version.
int versionNumber(std::string_view banner) {
    const std::size_t at = upperCaseText(banner).find(" V");
    if (at == std::string_view::npos || at + 4 >= banner.size() + 1) {
        return 0;
    }
    const std::string_view v = banner.substr(at + 2);
    if (v.size() < 3 || !std::isdigit(static_cast<unsigned char>(v[0])) || v[1] != '.' ||
        !std::isdigit(static_cast<unsigned char>(v[2]))) {
        return 0;
    }
    return (v[0] - '0') * 10 + (v[2] - '0');
}

// The first line of an answer that carries text.
std::string firstLine(std::string_view answer) {
    std::size_t start = answer.find_first_not_of("\r\n ");
    if (start == std::string_view::npos) {
        return {};
    }
    const std::size_t end = answer.find_first_of("\r\n", start);
    std::string_view line = answer.substr(start, end == std::string_view::npos ? end : end - start);
    while (!line.empty() && line.back() == ' ') {
        line.remove_suffix(1);
    }
    return std::string(line);
}

} // namespace

ElmProtocol::ElmProtocol(ElmSettings settings, LineOpener openLine)
    : LineProtocol(std::move(openLine)), settings_(std::move(settings)),
      uds_(udsSessionFor(settings_.diagnostic)) {}

std::string ElmProtocol::title() const {
    return "ELM327";
}

std::string ElmProtocol::subtitle() const {
    std::string text = settings_.device + ", " + busLabel();
    if (!identity_.empty()) {
        text += ", " + identity_;
    }
    return text;
}

std::string ElmProtocol::busLabel() const {
    switch (settings_.bus) {
    case ElmBus::KLineFast:
        return "K-line fast init";
    case ElmBus::KLineFiveBaud:
        return "K-line 5-baud init";
    case ElmBus::Can11At500:
        return "CAN 11-bit 500 kbit/s";
    case ElmBus::Can11At250:
        return "CAN 11-bit 250 kbit/s";
    case ElmBus::Can29At500:
        return "CAN 29-bit 500 kbit/s";
    case ElmBus::Can29At250:
        break;
    }
    return "CAN 29-bit 250 kbit/s";
}

void ElmProtocol::InitCommunication() {
    guarded([this] {
        openLineIfClosed();
        if (!broughtUp_) {
            bringUp();
        } else if (!settings_.isCan() && !keepsSession_ &&
                   line_->now() - lastExchange_ > kSessionIdle) {
            // The ECU may have closed the session meanwhile: close the bus
            // on the adapter's side too and wake it again.
            setting("ATPC", false);
            wakeBus();
        }
    });
}

void ElmProtocol::SendReceive(const ByteString& request, ByteString& reply) {
    guarded([&] {
        if (restarted_) {
            restarted();
        }
        if (!line_ || !broughtUp_) {
            throw Error(adapter_error::kSilent, "adapter not ready: the communication is not open",
                        kSource);
        }
        if (request.empty() || request.length() > requestLimit()) {
            throw Error(adapter_error::kRequestTooLong,
                        "request too long for this adapter: " + std::to_string(request.length()) +
                            " bytes, at most " + std::to_string(requestLimit()),
                        kSource);
        }
        if (uds_) {
            reply = uds_->exchange(*this, request);
        } else {
            reply = settings_.isCan() ? kwpCheckedExchange(*this, request, replyStep_)
                                      : kwpExchange(*this, request, replyStep_);
        }
    });
}

void ElmProtocol::keepAlive() {
    if (!uds_ || !line_ || !broughtUp_) {
        return;
    }
    try {
        guarded([this] { uds_->keepAlive(*this); });
    } catch (const Error&) {
        // NO DATA, as no reply is expected; a real fault shows at the next
        // exchange.
    }
}

void ElmProtocol::sendMessage(const ByteString& request) {
    checkUnsolicited();
    requestText_ = request.text();
    received_.clear();
    lastWasPending_ = false;
    takeAnswer(exchange(requestText_));
}

std::optional<ByteString> ElmProtocol::receiveMessage(Milliseconds timeout) {
    if (received_.empty() && lastWasPending_) {
        // The adapter came back after a pending reply alone: with a reply
        // count it returns after that many replies, whatever they say, and
        // older ones stop listening after their own timeout. Asked again
        // without the count, it listens until the answer comes; as long as
        // the ECU may take, and no longer.
        const auto deadline = lastMessageAt_ + timeout;
        while (received_.empty() && line_->now() < deadline) {
            try {
                // The ECU has P2* for each answer once it asked for patience.
                takeAnswer(ask(requestText_, kwp_time::kP2star + kReplyMargin, Asking::Request));
            } catch (const Error& e) {
                // NO DATA: the adapter's own timeout ran out first. Silence
                // is the end of the wait.
                if (e.number() != kNoAnswerError || awaitingPrompt_) {
                    throw;
                }
            }
        }
    }
    if (received_.empty()) {
        return std::nullopt;
    }
    ByteString message = std::move(received_.front());
    received_.pop_front();
    lastWasPending_ = isPending(message);
    lastMessageAt_ = line_->now();
    return message;
}

std::chrono::milliseconds ElmProtocol::replyTimeout() const {
    return settings_.timeout.value_or(kAdapterDefaultTimeout);
}

void ElmProtocol::takeAnswer(const std::string& answer) {
    const ElmReply parsed = parseElmReply(answer, lineFormat());
    if (parsed.message == ElmMessage::Restarted) {
        restarted();
    }
    if (parsed.message != ElmMessage::None) {
        throw adapterMessageError(parsed.message, parsed.words);
    }
    received_.insert(received_.end(), parsed.messages.begin(), parsed.messages.end());
}

// One request on the bus: with the reply count when the adapter takes it,
// so that it returns as soon as the reply is in instead of waiting out its
// timeout.
std::string ElmProtocol::exchange(const std::string& text) {
    const std::string line = countsReplies_ ? text + "1" : text;
    std::string answer = ask(line, replyQuiet(), Asking::Request);
    busAwake_ = true;
    lastExchange_ = line_->now();
    // A clone that claims v1.3 or later may still refuse the count: its "?"
    // to the first counted request says so. Once one was taken, a "?" is
    // about the request itself.
    if (countsReplies_ && !countConfirmed_) {
        countConfirmed_ = firstLine(answer) != "?";
    }
    if (countsReplies_ && !countConfirmed_) {
        countsReplies_ = false;
        fallback("adapter: no reply count; each request waits out the adapter's timeout");
        answer = ask(text, replyQuiet(), Asking::Request);
        lastExchange_ = line_->now();
    }
    return answer;
}

void ElmProtocol::restarted() {
    broughtUp_ = false;
    restarted_ = true;
    throw Error(adapter_error::kRestarted, "adapter restarted", kSource);
}

void ElmProtocol::openLineIfClosed() {
    if (line_.open()) {
        baud_ = settings_.baud != 0 ? settings_.baud : kElmAutoBauds[0];
        broughtUp_ = false;
    }
}

void ElmProtocol::bringUp() {
    broughtUp_ = false;
    if (uds_) {
        uds_->linkOpened();
    }
    busAwake_ = false;
    countConfirmed_ = false;
    echoResent_ = false;
    unsolicited_.clear();
    reset();
    restarted_ = false;
    setting("ATE0");
    setting("ATL0");
    // Without ATS0 (before v1.3) replies keep their spaces; the reader
    // takes both.
    setting("ATS0", false);
    setting(settings_.isCan() ? "ATH0" : "ATH1");
    if (settings_.isCan()) {
        setUpCan();
    } else {
        setting(settings_.bus == ElmBus::KLineFast ? "ATSP5" : "ATSP4");
        setting("ATSH81" + hexPadded(settings_.target, 2) + hexPadded(settings_.source, 2));
        if (settings_.bus == ElmBus::KLineFiveBaud) {
            setting("ATIIA" + hexPadded(settings_.target, 2));
        }
    }
    if (!setting("ATAT1", false)) {
        fallback("adapter: no adaptive timing (ATAT1); replies take the adapter's full timeout");
    }
    if (settings_.timeout) {
        const long steps = std::lround(std::ceil(settings_.timeout->count() / kTimeoutStepMs));
        if (!setting("ATST" + hexPadded(static_cast<std::uint32_t>(std::clamp(steps, 1L, 255L)), 2),
                     false)) {
            fallback("adapter: no ATST; the adapter keeps its own reply timeout");
        }
    }
    longRequests_ = !settings_.isCan() && setting("ATAL", false);
    if (!settings_.isCan() && !longRequests_) {
        fallback("adapter: clone without ATAL; requests limited to 7 bytes");
    }
    identify();
    if (!settings_.isCan()) {
        // The adapter sends TesterPresent itself while the link is idle.
        keepsSession_ = setting("ATWM81" + hexPadded(settings_.target, 2) +
                                    hexPadded(settings_.source, 2) + "3E",
                                false);
        if (!keepsSession_) {
            fallback("adapter: no keep-alive (ATWM); the link wakes the bus again after a pause");
        }
        wakeBus();
    }
    broughtUp_ = true;
    lastExchange_ = line_->now();
}

void ElmProtocol::reset() {
    if (settings_.baud != 0) {
        if (!resetAt()) {
            throw Error(adapter_error::kSilent,
                        "adapter does not answer on " + settings_.device + " at " +
                            std::to_string(baud_) + " baud",
                        kSource);
        }
        return;
    }
    std::string tried;
    for (const unsigned baud : kElmAutoBauds) {
        try {
            line_->setBaudRate(baud);
        } catch (const Error& e) {
            if (e.number() == link_error::kDeviceLost) {
                throw;
            }
            continue;
        }
        baud_ = baud;
        if (resetAt()) {
            return;
        }
        tried += (tried.empty() ? "" : ", ") + std::to_string(baud);
    }
    throw Error(adapter_error::kSilent,
                "adapter does not answer on " + settings_.device + " at any of " + tried + " baud",
                kSource);
}

// ATZ at the line's present speed, twice if need be: the first may meet half a command left in the
// adapter's input from before.
bool ElmProtocol::resetAt() {
    for (int attempt = 0; attempt < 2; ++attempt) {
        line_->discardInput();
        try {
            const std::string answer = ask("ATZ", kResetQuiet);
            if (isElmBanner(answer)) {
                const std::size_t at = upperCaseText(answer).find("ELM327");
                countsReplies_ = versionNumber(firstLine(answer.substr(at))) >= 13;
                return true;
            }
        } catch (const Error& e) {
            if (e.number() != adapter_error::kSilent) {
                throw;
            }
        }
    }
    return false;
}

void ElmProtocol::setUpCan() {
    const char* protocol = "ATSP6";
    switch (settings_.bus) {
    case ElmBus::Can29At500:
        protocol = "ATSP7";
        break;
    case ElmBus::Can11At250:
        protocol = "ATSP8";
        break;
    case ElmBus::Can29At250:
        protocol = "ATSP9";
        break;
    default:
        break;
    }
    setting(protocol);
    const bool wide = settings_.is29Bit();
    if (wide) {
        // The top byte of a 29-bit identifier goes apart, as its priority.
        setting("ATCP" + hexPadded(settings_.tx >> 24, 2));
        setting("ATSH" + hexPadded(settings_.tx & 0xFFFFFF, 6));
    } else {
        setting("ATSH" + hexPadded(settings_.tx, 3));
    }
    const int digits = wide ? 8 : 3;
    if (!setting("ATCRA" + hexPadded(settings_.rx, digits), false)) {
        fallback("adapter: no receive filter (ATCRA); replies of every ECU are read");
    }
    const bool flowControl = setting("ATFCSH" + hexPadded(settings_.tx, digits), false) &&
                             setting(std::string("ATFCSD") + kFlowControlData, false) &&
                             setting("ATFCSM1", false);
    if (!flowControl) {
        if (wide || settings_.rx != settings_.tx + 8) {
            throw Error(adapter_error::kSetupRefused,
                        "adapter cannot set the CAN flow control (ATFCSH): only the identifier "
                        "pair tx, tx+8 works with it",
                        kSource);
        }
        fallback("adapter: no flow control settings (ATFCSH); the adapter's own for tx, tx+8");
    }
    setting("ATCAF1");
}

void ElmProtocol::wakeBus() {
    const std::string command = settings_.bus == ElmBus::KLineFast ? "ATFI" : "ATSI";
    // A wake-up that was stopped (by noise on the line, a clone's hiccup)
    // gets one more try.
    for (int attempt = 0;; ++attempt) {
        const std::string answer = ask(command, kWakeUpQuiet);
        if (isElmBanner(answer)) {
            restarted();
        }
        if (firstLine(answer) == "?") {
            busAwake_ = false;
            fallback("adapter: no forced bus wake-up (" + command +
                     "); the first request wakes the bus");
            return;
        }
        if (contains(answer, "OK")) {
            busAwake_ = true;
            return;
        }
        if (!contains(answer, "STOPPED") || attempt > 0) {
            throw Error(adapter_error::kBusInit,
                        "adapter says \"" + firstLine(answer) +
                            "\": the ECU did not answer the bus wake-up (address, ignition?)",
                        kSource);
        }
    }
}

void ElmProtocol::identify() {
    identity_ = firstLine(ask("ATI", kSettingQuiet));
    const std::string description = firstLine(ask("AT@1", kSettingQuiet));
    if (!description.empty() && description != "?") {
        identity_ += " (" + description + ")";
    }
}

bool ElmProtocol::setting(const std::string& command, bool required) {
    const std::string answer = ask(command, kSettingQuiet);
    if (isElmBanner(answer)) {
        restarted();
    }
    if (contains(answer, "OK")) {
        return true;
    }
    if (required) {
        throw Error(adapter_error::kSetupRefused,
                    "adapter refused " + command + " (\"" + firstLine(answer) + "\")", kSource);
    }
    return false;
}

void ElmProtocol::fallback(std::string text) {
    if (std::find(fallbacks_.begin(), fallbacks_.end(), text) == fallbacks_.end()) {
        fallbacks_.push_back(std::move(text));
    }
}

std::string ElmProtocol::ask(const std::string& text, Milliseconds quiet, Asking asking) {
    if (awaitingPrompt_) {
        awaitPrompt();
    }
    const std::string out = text + "\r";
    line_->write(std::span(reinterpret_cast<const std::uint8_t*>(out.data()), out.size()));
    std::string answer;
    std::array<std::uint8_t, 256> buffer{};
    for (;;) {
        const std::size_t n = line_->read(buffer, line_->now() + quiet);
        if (n == 0 && asking == Asking::Request) {
            // A slow answer is one read without a value; the adapter is left
            // to finish, never reset for it.
            awaitingPrompt_ = true;
            throw Error(kNoAnswerError, kNoAnswerText, kSource);
        }
        if (n == 0) {
            // Whatever the adapter is doing, the next bring-up resets it.
            broughtUp_ = false;
            throw Error(adapter_error::kSilent,
                        "adapter does not answer \"" + text + "\" on " + settings_.device + " at " +
                            std::to_string(baud_) + " baud",
                        kSource);
        }
        const auto end = buffer.begin() + static_cast<std::ptrdiff_t>(n);
        const auto prompt = std::find(buffer.begin(), end, std::uint8_t{'>'});
        answer += printedText(std::string_view(reinterpret_cast<const char*>(buffer.data()),
                                               static_cast<std::size_t>(prompt - buffer.begin())));
        if (prompt != end) {
            unsolicited_.assign(prompt + 1, end);
            return withoutEcho(std::move(answer), text);
        }
        if (answer.size() > kAnswerLimit) {
            broughtUp_ = false;
            throw Error(adapter_error::kGarbled,
                        "adapter reply cannot be read: it never ends with a prompt", kSource);
        }
        if (asking == Asking::Request && quiet < kwp_time::kP2star) {
            // The ECU may take seconds after "response pending", and the
            // adapter waits with it.
            const ElmReply sofar = parseElmReply(answer, lineFormat());
            if (std::any_of(sofar.messages.begin(), sofar.messages.end(), isPending)) {
                quiet = kwp_time::kP2star + kReplyMargin;
            }
        }
    }
}

void ElmProtocol::awaitPrompt() {
    std::array<std::uint8_t, 256> buffer{};
    const auto giveUp = line_->now() + kwp_time::kP2star + kReplyMargin;
    while (line_->now() < giveUp) {
        const std::size_t n = line_->read(buffer, giveUp);
        const auto end = buffer.begin() + static_cast<std::ptrdiff_t>(n);
        if (const auto prompt = std::find(buffer.begin(), end, std::uint8_t{'>'}); prompt != end) {
            awaitingPrompt_ = false;
            unsolicited_.assign(prompt + 1, end);
            return;
        }
    }
    broughtUp_ = false;
    throw Error(adapter_error::kSilent,
                "adapter does not come back from the last request on " + settings_.device, kSource);
}

// Echo stays off once ATE0 was taken; an adapter that still echoes (some
// clones do) gets ATE0 once more, and its echoes are left out. Only the
// banner, never an echo, says that the adapter restarted.
std::string ElmProtocol::withoutEcho(std::string answer, const std::string& line) {
    const std::size_t start = answer.find_first_not_of("\r\n ");
    if (start == std::string::npos || answer.compare(start, line.size(), line) != 0) {
        return answer;
    }
    const std::size_t end = start + line.size();
    if (end < answer.size() && answer[end] != '\r' && answer[end] != '\n') {
        return answer;
    }
    answer.erase(0, end);
    if (broughtUp_ && !echoResent_) {
        echoResent_ = true;
        setting("ATE0", false);
    }
    return answer;
}

void ElmProtocol::checkUnsolicited() {
    std::array<std::uint8_t, 256> buffer{};
    while (const std::size_t n = line_->read(buffer, line_->now())) {
        unsolicited_ +=
            printedText(std::string_view(reinterpret_cast<const char*>(buffer.data()), n));
        if (unsolicited_.size() > kAnswerLimit) {
            break;
        }
    }
    const bool banner = isElmBanner(unsolicited_);
    unsolicited_.clear();
    if (banner) {
        restarted();
    }
}

std::size_t ElmProtocol::maxReplyLength() const {
    if (settings_.isCan()) {
        return kCanReplyLimit;
    }
    return longRequests_ ? kKLineLongReply : kKLineShortMessage;
}

ExchangeCost ElmProtocol::exchangeCost() const {
    using std::chrono::nanoseconds;
    const unsigned baud = baud_ != 0 ? baud_ : kElmAutoBauds[0];
    const nanoseconds serialChar(10'000'000'000LL / baud);
    // A request line out, a reply line with its frame and the prompt back.
    constexpr long kLineChars = 40;
    if (settings_.isCan()) {
        // The ECU's answer on CAN, and a CAN frame (about 130 bits at
        // 500 kbit/s) for every seven bytes.
        const nanoseconds frame(
            settings_.bus == ElmBus::Can11At500 || settings_.bus == ElmBus::Can29At500 ? 260'000
                                                                                       : 520'000);
        return {std::chrono::milliseconds(10) + kLineChars * serialChar,
                frame / 7 + 2 * serialChar};
    }
    // The adapter keeps the K-line's P3min and the ECU's P2, with the
    // request and reply frames at 10400 baud.
    const nanoseconds klineByte(961'538);
    return {std::chrono::milliseconds(55 + 25) + 14 * klineByte + kLineChars * serialChar,
            klineByte + 2 * serialChar};
}

std::size_t ElmProtocol::requestLimit() const noexcept {
    return longRequests_ ? kKLineShortMessage + 1 : kKLineShortMessage;
}

std::chrono::milliseconds ElmProtocol::replyQuiet() const noexcept {
    if (!settings_.isCan() && !busAwake_) {
        return kWakeUpQuiet;
    }
    return settings_.timeout.value_or(kAdapterDefaultTimeout) + kReplyMargin;
}

ElmLineFormat ElmProtocol::lineFormat() const noexcept {
    ElmLineFormat format;
    format.klineHeaders = !settings_.isCan();
    format.tester = settings_.source;
    format.ecu = settings_.target;
    return format;
}

} // namespace vistrel
