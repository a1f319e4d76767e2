// SPDX-License-Identifier: MIT
#include "link/elm_reply.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

namespace vistrel {
namespace {

constexpr std::size_t kWordsLimit = 60;

struct KnownMessage {
    std::string_view prefix;
    ElmMessage message;
};

// Matched against the start of a line with its spaces kept.
constexpr std::array<KnownMessage, 9> kKnownMessages{{
    {"NO DATA", ElmMessage::NoData},
    {"UNABLE TO CONNECT", ElmMessage::UnableToConnect},
    {"BUFFER FULL", ElmMessage::BufferFull},
    {"CAN ERROR", ElmMessage::CanError},
    {"BUS BUSY", ElmMessage::BusBusy},
    {"STOPPED", ElmMessage::Stopped},
    {"<RX ERROR", ElmMessage::RxError},
    {"DATA ERROR", ElmMessage::DataError},
    {"?", ElmMessage::Unknown},
}};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

std::string upperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string_view withoutDots(std::string_view s) {
    while (!s.empty() && (s.front() == '.' || s.front() == ' ')) {
        s.remove_prefix(1);
    }
    return s;
}

// The message a complaint after a damaged frame stands for.
ElmMessage complaint(std::string_view words) {
    if (words.starts_with("<RX ERROR")) {
        return ElmMessage::RxError;
    }
    return words.starts_with("<DATA ERROR") ? ElmMessage::DataError : ElmMessage::OtherError;
}

std::string printable(std::string_view s) {
    std::string out;
    for (const char c : s.substr(0, kWordsLimit)) {
        const auto u = static_cast<unsigned char>(c);
        out += (u >= 0x20 && u < 0x7F) ? c : '.';
    }
    if (s.size() > kWordsLimit) {
        out += "...";
    }
    return out;
}

// The hexadecimal digits of a line with its spaces removed, or nothing when
// anything else is in it.
std::optional<std::string> hexDigits(std::string_view line) {
    std::string digits;
    for (const char c : line) {
        if (c == ' ') {
            continue;
        }
        if (hexDigitValue(c) < 0) {
            return std::nullopt;
        }
        digits += c;
    }
    return digits;
}

std::optional<ByteString> hexBytes(std::string_view digits) {
    if (digits.empty() || digits.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(hexDigitValue(digits[i]) << 4 |
                                                  hexDigitValue(digits[i + 1])));
    }
    return ByteString(std::move(bytes));
}

// A CAN reply longer than one frame: the length line, then numbered lines
// 0:, 1:, ... F:, 0:, ... whose data runs on past the length with padding.
struct MultiFrame {
    std::size_t length = 0;
    int next = 0;
    ByteString data;
};

class ReplyReader {
public:
    explicit ReplyReader(const ElmLineFormat& format) : format_(format) {}

    void line(std::string_view raw) {
        original_ = trimmed(raw);
        upper_ = upperCase(original_);
        std::string_view text = upper_;
        if (text.empty()) {
            return;
        }
        if (isElmBanner(text)) {
            note(ElmMessage::Restarted, text, true);
            return;
        }
        // Progress messages: the protocol search and the bus wake-up print
        // these before the reply, which may follow on the same line.
        if (text.starts_with("SEARCHING")) {
            text = withoutDots(text.substr(std::string_view("SEARCHING").size()));
        }
        if (text.starts_with("BUS INIT:")) {
            const std::string_view outcome = withoutDots(text.substr(9));
            if (outcome.starts_with("ERROR")) {
                note(ElmMessage::BusInitError, text);
                return;
            }
            if (outcome.starts_with("STOPPED")) {
                note(ElmMessage::Stopped, text);
                return;
            }
            text = outcome.starts_with("OK") ? outcome.substr(2) : outcome;
        }
        text = trimmed(withoutDots(text));
        if (text.empty()) {
            return;
        }
        for (const KnownMessage& known : kKnownMessages) {
            if (text.starts_with(known.prefix)) {
                note(known.message, text);
                return;
            }
        }
        // A damaged frame: the data that came, then the adapter's complaint.
        if (const std::size_t mark = text.find('<'); mark != std::string_view::npos) {
            const std::string_view words = text.substr(mark);
            note(complaint(words), words);
            return;
        }
        dataLine(text);
    }

    ElmReply finish() {
        if (multi_) {
            note(ElmMessage::Garbled, "reply ends after " + std::to_string(multi_->data.length()) +
                                          " of " + std::to_string(multi_->length) + " bytes");
        }
        return std::move(reply_);
    }

private:
    void dataLine(std::string_view text) {
        if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
            numberedLine(text.substr(0, colon), text.substr(colon + 1), text);
            return;
        }
        const std::optional<std::string> digits = hexDigits(text);
        if (!digits) {
            note(ElmMessage::OtherError, text);
            return;
        }
        if (multi_) {
            note(ElmMessage::Garbled, "reply ends early: " + std::string(text));
            multi_.reset();
        }
        if (!format_.klineHeaders && digits->size() == 3) {
            multi_.emplace();
            multi_->length = static_cast<std::size_t>(hexDigitValue((*digits)[0]) << 8 |
                                                      hexDigitValue((*digits)[1]) << 4 |
                                                      hexDigitValue((*digits)[2]));
            if (multi_->length == 0) {
                multi_.reset();
                note(ElmMessage::Garbled, text);
            }
            return;
        }
        std::optional<ByteString> bytes = hexBytes(*digits);
        if (!bytes) {
            note(ElmMessage::Garbled, text);
            return;
        }
        if (format_.klineHeaders) {
            klineMessage(*bytes, text);
        } else {
            reply_.messages.push_back(std::move(*bytes));
        }
    }

    void numberedLine(std::string_view index, std::string_view rest, std::string_view text) {
        const std::string_view number = trimmed(index);
        const std::optional<std::string> digits = hexDigits(rest);
        if (!multi_ || number.size() != 1 || hexDigitValue(number[0]) != multi_->next || !digits ||
            digits->size() % 2 != 0) {
            note(digits ? ElmMessage::Garbled : ElmMessage::OtherError, text);
            multi_.reset();
            return;
        }
        if (std::optional<ByteString> bytes = hexBytes(*digits)) {
            multi_->data.append(*bytes);
        }
        multi_->next = (multi_->next + 1) & 0x0F;
        if (multi_->data.length() >= multi_->length) {
            reply_.messages.push_back(multi_->data.mid(0, multi_->length));
            multi_.reset();
        }
    }

    // Format byte (address mode in the top two bits, length in the low six,
    // or a separate length byte when those are 0), the addresses when the
    // mode has them, the data, then the sum of all bytes before it.
    void klineMessage(const ByteString& bytes, std::string_view text) {
        const std::size_t n = bytes.length();
        const std::uint8_t format = bytes.byte(0);
        const bool addressed = (format & 0xC0) != 0;
        std::size_t header = addressed ? 3 : 1;
        std::size_t length = format & 0x3F;
        if (length == 0 && n > header) {
            length = bytes.byte(header);
            ++header;
        }
        std::uint8_t sum = 0;
        for (std::size_t i = 0; i + 1 < n; ++i) {
            sum = static_cast<std::uint8_t>(sum + bytes.byte(i));
        }
        if (length == 0 || n != header + length + 1 || sum != bytes.byte(n - 1)) {
            note(ElmMessage::Garbled, text);
            return;
        }
        if (addressed && (bytes.byte(1) != format_.tester || bytes.byte(2) != format_.ecu)) {
            return;
        }
        reply_.messages.push_back(bytes.mid(header, length));
    }

    // Lines are read in upper case; the words shown are the adapter's own.
    void note(ElmMessage message, std::string_view words, bool overrides = false) {
        if (reply_.message == ElmMessage::None || (overrides && reply_.message != message)) {
            const bool inLine = words.data() >= upper_.data() &&
                                words.data() + words.size() <= upper_.data() + upper_.size();
            if (inLine) {
                words = original_.substr(static_cast<std::size_t>(words.data() - upper_.data()),
                                         words.size());
            }
            reply_.message = message;
            reply_.words = printable(words);
        }
    }

    const ElmLineFormat& format_;
    std::string_view original_;
    std::string upper_;
    ElmReply reply_;
    std::optional<MultiFrame> multi_;
};

} // namespace

bool isElmBanner(std::string_view line) noexcept {
    constexpr std::string_view kName = "ELM327";
    const auto found =
        std::search(line.begin(), line.end(), kName.begin(), kName.end(), [](char a, char b) {
            return std::toupper(static_cast<unsigned char>(a)) == b;
        });
    return found != line.end();
}

std::string printedText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r' || c == '\n' || (u >= 0x20 && u < 0x7F)) {
            out += c;
        }
    }
    return out;
}

ElmReply parseElmReply(std::string_view text, const ElmLineFormat& format) {
    ReplyReader reader(format);
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        reader.line(text.substr(start, stop - start));
        start = stop + 1;
    }
    return reader.finish();
}

} // namespace vistrel
