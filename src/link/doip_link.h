// SPDX-License-Identifier: MIT
#pragma once

#include "link/byte_line.h"
#include "link/doip_message.h"
#include "link/doip_settings.h"
#include "link/message_link.h"

#include <array>
#include <memory>
#include <string>

namespace vistrel {

// One TCP connection to a DoIP entity, seen as whole UDS messages: each
// request goes out as a diagnostic message from the tester to the ECU and
// must be acknowledged by the entity in time; the ECU's reply comes back as
// a diagnostic message the other way. The entity's alive checks are answered
// whenever the link reads, whatever it waits for.
class DoipLink : public MessageLink {
public:
    enum class Activation {
        Active,
        // The entity answered the request with "incorrect pattern format": it
        // does not speak this version (and has closed the connection).
        WrongVersion,
    };

    // version: the protocol version of the messages sent.
    DoipLink(std::unique_ptr<ByteLine> connection, std::string endpoint, DoipSettings settings,
             std::uint8_t version);

    // Routing activation; throws Error with the entity's reason when it is
    // refused or not answered in time.
    Activation activate();
    // The ECU's logical address: the link key ta, or else the entity's own.
    std::uint16_t target() const noexcept { return target_; }
    // The version the link speaks now (the entity's, when it answered in
    // another one it also speaks).
    std::uint8_t version() const noexcept { return version_; }
    // True once the connection cannot be trusted any more (a broken message,
    // a generic refusal, an acknowledgement that never came): it has to be
    // made again.
    bool broken() const noexcept { return broken_; }

    void sendMessage(const ByteString& request) override;
    std::optional<ByteString> receiveMessage(std::chrono::milliseconds timeout) override;
    std::chrono::milliseconds replyTimeout() const override { return settings_.p2max; }

    // Takes what has arrived without waiting: answers alive checks and drops
    // replies that came too late for their exchange.
    void takeWaiting();

private:
    using Clock = ByteLine::Clock;

    // The next message by deadline, alive checks answered and unknown types
    // refused on the way; nothing when none came in time.
    std::optional<doip::Message> next(Clock::time_point deadline);
    void send(std::uint16_t type, std::span<const std::uint8_t> payload);
    // Addressed to us (its target is the tester).
    bool toTester(const doip::Message& message) const;
    // Throws the refusal in a generic negative acknowledgement; the entity
    // closes the connection after it.
    [[noreturn]] void failGeneric(const doip::Message& message);
    [[noreturn]] void fail(std::int32_t number, const std::string& text);

    std::unique_ptr<ByteLine> connection_;
    std::string endpoint_;
    DoipSettings settings_;
    std::uint8_t version_;
    std::uint16_t target_ = 0;
    bool broken_ = false;
    doip::StreamReader reader_;
    std::array<std::uint8_t, 4096> buffer_{};
};

} // namespace vistrel
