// SPDX-License-Identifier: MIT
#include "link/socketcand_bus.h"

#include "components/error.h"
#include "components/error_numbers.h"

#include <array>

namespace vistrel {
namespace {

constexpr const char* kSource = "SocketcandBus";
// The server answers each step of the opening at once.
constexpr std::chrono::milliseconds kStepWait{2000};

bool startsWith(std::string_view text, std::string_view word) {
    return text.substr(0, word.size()) == word &&
           (text.size() == word.size() || text[word.size()] == ' ');
}

} // namespace

SocketcandBus::SocketcandBus(std::unique_ptr<ByteLine> line, std::string server,
                             const std::string& bus)
    : line_(std::move(line)), server_(std::move(server)) {
    expect("hi", "the greeting");
    write("< open " + bus + " >");
    expect("ok", "open " + bus);
    write("< rawmode >");
    expect("ok", "rawmode");
}

void SocketcandBus::write(const std::string& text) {
    line_->write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::optional<std::string> SocketcandBus::next(Clock::time_point deadline) {
    for (;;) {
        if (nextMessage_ < messages_.size()) {
            return std::move(messages_[nextMessage_++]);
        }
        messages_.clear();
        nextMessage_ = 0;
        std::array<std::uint8_t, 512> buffer{};
        const std::size_t n = line_->read(buffer, deadline);
        if (n == 0) {
            return std::nullopt;
        }
        reader_.push(std::span(buffer.data(), n), messages_);
    }
}

void SocketcandBus::expect(std::string_view word, const std::string& step) {
    const auto deadline = line_->now() + kStepWait;
    for (;;) {
        const auto message = next(deadline);
        if (!message) {
            throw Error(can_error::kCarrierRefused,
                        "socketcand " + server_ + " does not answer (" + step +
                            ") — is it a socketcand server?",
                        kSource);
        }
        if (startsWith(*message, "error")) {
            serverError(*message);
        }
        if (startsWith(*message, word)) {
            return;
        }
        // Frames of a bus opened before the switch to raw mode are no answer.
        if (!startsWith(*message, "frame")) {
            throw Error(can_error::kCarrierGarbled,
                        "socketcand " + server_ + " answered \"< " + *message + " >\" to " + step,
                        kSource);
        }
    }
}

void SocketcandBus::serverError(const std::string& message) const {
    throw Error(can_error::kCarrierRefused, "socketcand " + server_ + ": " + message, kSource);
}

void SocketcandBus::send(const CanFrame& frame) {
    write(socketcandSendText(frame));
}

std::optional<CanFrame> SocketcandBus::receive(Clock::time_point deadline) {
    while (const auto message = next(deadline)) {
        if (startsWith(*message, "error")) {
            serverError(*message);
        }
        if (auto frame = parseSocketcandFrame(*message)) {
            return frame;
        }
    }
    return std::nullopt;
}

} // namespace vistrel
