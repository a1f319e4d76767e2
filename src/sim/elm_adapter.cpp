// SPDX-License-Identifier: MIT
#include "sim/elm_adapter.h"

#include "components/error.h"
#include "link/kline_frame.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

namespace vistrel {
namespace {

constexpr std::string_view kBanner = "ELM327 v1.5";
constexpr std::string_view kDescription = "OBDII to RS232 Interpreter";
constexpr std::size_t kLineLimit = 64;
constexpr std::size_t kFrameData = 7;
constexpr std::size_t kFirstFrameData = 6;

// The value of a run of hexadecimal digits, or nothing for an empty or
// non-hexadecimal run.
std::optional<std::uint32_t> hexValue(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

bool isProtocol(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'C');
}

} // namespace

ElmAdapter::ElmAdapter(Ecu ecu, bool clone, ElmQuirks quirks, ElmEcuAddresses addresses)
    : ecu_(std::move(ecu)), clone_(clone), quirks_(quirks), addresses_(addresses) {}

std::string ElmAdapter::receive(std::string_view bytes) {
    std::string out;
    workedOnRequest_ = false;
    for (const char c : bytes) {
        if (c == '\r') {
            if (settings_.echo) {
                out += pending_;
                out += '\r';
            }
            std::string line;
            line.swap(pending_);
            out += command(line);
        } else if (static_cast<unsigned char>(c) >= 0x20 && pending_.size() < kLineLimit) {
            pending_ += c;
        }
    }
    return dressed(std::move(out));
}

std::string ElmAdapter::stop() const {
    return dressed(answer("STOPPED"));
}

std::string ElmAdapter::reboot() {
    return dressed(restart());
}

std::string ElmAdapter::restart() {
    settings_ = Settings{};
    wakeUpStopped_ = false;
    return line("") + line("") + answer(kBanner);
}

std::string ElmAdapter::dressed(std::string text) const {
    if (quirks_.lowerCase) {
        for (char& c : text) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    if (quirks_.nul) {
        // After every line end, where clones drop them.
        for (std::size_t at = text.find('\r'); at != std::string::npos;
             at = text.find('\r', at + 2)) {
            text.insert(at + 1, 1, '\0');
        }
    }
    return text;
}

void ElmAdapter::sayOnNextRequest(std::string lines, bool thenReply) {
    injected_ = std::move(lines);
    injectedThenReply_ = thenReply;
}

std::string ElmAdapter::command(std::string_view line) {
    std::string text;
    for (const char c : line) {
        if (c != ' ') {
            text += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    if (text.empty()) {
        // A bare carriage return repeats the last request.
        if (lastRequest_.empty()) {
            return ">";
        }
        text = lastRequest_;
    }
    if (text.starts_with("AT")) {
        return atCommand(std::string_view(text).substr(2));
    }
    lastRequest_ = text;
    return request(text);
}

std::string ElmAdapter::atCommand(std::string_view cmd) {
    const auto ok = [this] { return answer("OK"); };
    const auto refuse = [this] { return answer("?"); };
    const auto flag = [&](std::string_view name, bool& setting) -> std::optional<std::string> {
        if (cmd.size() == name.size() + 1 && cmd.starts_with(name) &&
            (cmd.back() == '0' || cmd.back() == '1')) {
            setting = cmd.back() == '1';
            return ok();
        }
        return std::nullopt;
    };
    const auto argument = [&](std::string_view name) -> std::optional<std::uint32_t> {
        return cmd.starts_with(name) ? hexValue(cmd.substr(name.size())) : std::nullopt;
    };

    if (cmd == "Z" || cmd == "WS") {
        return restart();
    }
    if (cmd == "D") {
        const bool echo = settings_.echo;
        settings_ = Settings{};
        settings_.echo = echo;
        return ok();
    }
    if (cmd == "I") {
        return answer(kBanner);
    }
    if (cmd == "@1") {
        return answer(kDescription);
    }
    if (cmd == "RV") {
        return answer("12.6V");
    }
    if (cmd == "DPN") {
        return answer(std::string(1, settings_.protocol));
    }
    for (auto [name, setting] : {std::pair<std::string_view, bool*>{"E", &settings_.echo},
                                 {"L", &settings_.linefeeds},
                                 {"S", &settings_.spaces},
                                 {"H", &settings_.headers},
                                 {"CAF", &settings_.canFormatting}}) {
        if (auto answer = flag(name, *setting)) {
            settings_.echo = settings_.echo || (quirks_.echo && name == "E");
            return *answer;
        }
    }
    if ((cmd.starts_with("SP") || cmd.starts_with("TP")) && cmd.size() >= 3) {
        const char protocol = cmd.back();
        const std::string_view middle = cmd.substr(2, cmd.size() - 3);
        if (!isProtocol(protocol) || !(middle.empty() || middle == "A")) {
            return refuse();
        }
        settings_.protocol = protocol;
        settings_.busAwake = false;
        return ok();
    }
    if (cmd.starts_with("SH")) {
        const std::string_view digits = cmd.substr(2);
        if ((digits.size() != 3 && digits.size() != 6) || !hexValue(digits)) {
            return refuse();
        }
        // Three digits are an 11-bit identifier: one leading 0 makes whole bytes.
        std::string whole(digits.size() % 2, '0');
        whole += digits;
        settings_.header = ByteString::fromText(whole);
        return ok();
    }
    if (const auto id = argument("CRA")) {
        settings_.canReceive = *id;
        settings_.canReceiveSet = true;
        return ok();
    }
    if (const auto id = argument("FCSH")) {
        settings_.flowControlHeader = *id;
        return ok();
    }
    if (argument("FCSD")) {
        return ok();
    }
    if (const auto mode = argument("FCSM")) {
        settings_.flowControlSet = *mode == 1;
        return ok();
    }
    if (const auto priority = argument("CP")) {
        settings_.priority = static_cast<std::uint8_t>(*priority);
        return ok();
    }
    if (argument("SW") || argument("ST") || argument("AT")) {
        return ok();
    }
    if (const auto address = argument("IIA")) {
        settings_.initAddress = static_cast<std::uint8_t>(*address);
        return ok();
    }
    if (cmd == "AL" || cmd == "NL") {
        if (clone_ && cmd == "AL") {
            return refuse();
        }
        settings_.allowLong = cmd == "AL";
        return ok();
    }
    if (cmd.starts_with("WM")) {
        return clone_ || !hexValue(cmd.substr(2, 8)) ? refuse() : ok();
    }
    if (cmd == "PC") {
        settings_.busAwake = false;
        return ok();
    }
    if (cmd == "FI" || cmd == "SI") {
        return busInit(cmd);
    }
    return refuse();
}

std::string ElmAdapter::busInit(std::string_view cmd) {
    if (clone_ || settings_.protocol != (cmd == "FI" ? '5' : '4')) {
        return answer("?");
    }
    if (quirks_.busInitStopped && !wakeUpStopped_) {
        wakeUpStopped_ = true;
        return answer("BUS INIT: STOPPED");
    }
    const bool heard =
        cmd == "FI" ? settings_.header.length() == 3 && settings_.header.byte(1) == addresses_.kline
                    : settings_.initAddress == addresses_.kline;
    settings_.busAwake = heard;
    return answer(heard ? "BUS INIT: ...OK" : "BUS INIT: ...ERROR");
}

std::string ElmAdapter::request(std::string_view digits) {
    workedOnRequest_ = true;
    if (rebootOnNextRequest_) {
        rebootOnNextRequest_ = false;
        return restart();
    }
    // An odd digit at the end is the number of replies to wait for: the
    // adapter returns as soon as that many came, whatever they say.
    std::size_t count = 0;
    if (digits.size() % 2 != 0) {
        count = hexValue(digits.substr(digits.size() - 1)).value_or(0);
        if (count == 0) {
            return answer("?");
        }
        digits.remove_suffix(1);
    }
    ByteString data;
    try {
        data = ByteString::fromText(digits);
    } catch (const Error&) {
        return answer("?");
    }
    std::string prefix;
    if (settings_.protocol == '0') {
        prefix = line("SEARCHING...");
        settings_.protocol = '5';
        settings_.header = ByteString{0xC1, addresses_.kline, 0xF1};
    }
    const std::size_t limit = isKline() && settings_.allowLong ? 8 : 7;
    if (data.empty() || data.length() > limit) {
        return answer("?");
    }
    if (!isKline() && !isCan()) {
        return answer("UNABLE TO CONNECT");
    }
    if (!injected_.empty()) {
        const std::string said = line(injected_);
        injected_.clear();
        if (!injectedThenReply_) {
            return said + prompt();
        }
        prefix += said;
    }
    if (isKline() && !settings_.busAwake) {
        const bool heard =
            settings_.protocol == '5'
                ? settings_.header.length() == 3 && settings_.header.byte(1) == addresses_.kline
                : settings_.initAddress == addresses_.kline;
        if (!heard) {
            return prefix + answer("BUS INIT: ...ERROR");
        }
        settings_.busAwake = true;
        prefix += quirks_.busInitStopped ? "BUS INIT: ...OK " : line("BUS INIT: ...OK");
    }

    std::uint32_t replyId = 0;
    if (isKline()) {
        if (settings_.header.length() != 3 || settings_.header.byte(1) != addresses_.kline) {
            return prefix + answer("NO DATA");
        }
    } else {
        std::uint32_t id = 0;
        for (const std::uint8_t byte : settings_.header.bytes()) {
            id = id << 8 | byte;
        }
        const std::uint32_t requestId =
            is29Bit() ? addresses_.canRequest29 : addresses_.canRequest11;
        replyId = is29Bit() ? addresses_.canReply29 : addresses_.canReply11;
        if (is29Bit()) {
            id |= static_cast<std::uint32_t>(settings_.priority) << 24;
        }
        if (id != requestId || (settings_.canReceiveSet && settings_.canReceive != replyId)) {
            return prefix + answer("NO DATA");
        }
    }

    ByteString reply;
    if (ecu_(data, reply).kind == Answer::Kind::None || reply.empty()) {
        return prefix + answer("NO DATA");
    }
    std::vector<ByteString> replies(static_cast<std::size_t>(quirks_.pending),
                                    ByteString{0x7F, data.byte(0), 0x78});
    replies.push_back(reply);
    if (count != 0 && count < replies.size()) {
        replies.resize(count);
    }
    std::string out = prefix;
    for (const ByteString& one : replies) {
        out += replyLines(one, replyId);
    }
    if (quirks_.dataError != 0 && ++requests_ % quirks_.dataError == 0) {
        out.insert(out.find_last_not_of("\r\n") + 1, " <DATA ERROR");
    }
    return out + prompt();
}

std::string ElmAdapter::replyLines(const ByteString& reply, std::uint32_t replyId) const {
    return isKline() ? line(klineLine(reply)) : canLines(reply, replyId);
}

std::string ElmAdapter::klineLine(const ByteString& reply) const {
    if (!settings_.headers) {
        return bytesText(reply.bytes());
    }
    std::vector<std::uint8_t> frame;
    encodeKLineFrame(frame, KLineHeaderForm{}, settings_.header.byte(2), addresses_.kline,
                     reply.bytes());
    return bytesText(frame);
}

std::string ElmAdapter::canLines(const ByteString& reply, std::uint32_t replyId) const {
    const std::span<const std::uint8_t> data = reply.bytes();
    if (data.size() <= kFrameData) {
        return line(bytesText(data));
    }
    // Consecutive frames reach the adapter only when it sends the ECU a flow
    // control frame under the identifier the ECU listens to.
    const std::uint32_t requestId = is29Bit() ? addresses_.canRequest29 : addresses_.canRequest11;
    const bool flowing = settings_.flowControlSet ? settings_.flowControlHeader == requestId
                                                  : !is29Bit() && replyId == requestId + 8;
    std::string out = line(hexPadded(static_cast<std::uint32_t>(data.size()), 3));
    std::size_t sent = 0;
    for (int index = 0; sent < data.size(); ++index) {
        const std::size_t chunk = index == 0 ? kFirstFrameData : kFrameData;
        std::array<std::uint8_t, kFrameData> frame{};
        const std::size_t take = std::min(chunk, data.size() - sent);
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(sent), take, frame.begin());
        sent += take;
        const std::string number = hexPadded(static_cast<std::uint32_t>(index & 0x0F), 1) + ":";
        const std::string text = number + (settings_.spaces ? " " : "") +
                                 bytesText(std::span<const std::uint8_t>(frame).first(chunk));
        out += line(text);
        if (!flowing) {
            break;
        }
    }
    return out;
}

std::string ElmAdapter::bytesText(std::span<const std::uint8_t> bytes) const {
    std::string out;
    for (const std::uint8_t byte : bytes) {
        if (settings_.spaces && !out.empty()) {
            out += ' ';
        }
        appendHex(out, std::span<const std::uint8_t>(&byte, 1));
    }
    return out;
}

std::string ElmAdapter::line(std::string_view text) const {
    std::string out(text);
    out += settings_.linefeeds ? "\r\n" : "\r";
    return out;
}

// Every answer of the adapter ends in an empty line and the prompt.
std::string ElmAdapter::prompt() const {
    return line("") + ">";
}

std::string ElmAdapter::answer(std::string_view text) const {
    return line(text) + prompt();
}

} // namespace vistrel
