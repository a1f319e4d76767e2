// SPDX-License-Identifier: MIT
#include "link/doip_link.h"

#include "components/byte_string.h"
#include "components/error_numbers.h"
#include "link/doip_codes.h"

namespace vistrel {
namespace {

constexpr const char* kSource = "DoipLink";
// How long an entity that asked for confirmation may take for its final
// answer: someone may have to confirm in the car.
constexpr std::chrono::seconds kConfirmationWait{10};
// The activation response's code, after the two addresses.
constexpr std::size_t kActivationCodeAt = 4;

std::string milliseconds(std::chrono::milliseconds time) {
    return std::to_string(time.count()) + " ms";
}

} // namespace

DoipLink::DoipLink(std::unique_ptr<ByteLine> connection, std::string endpoint,
                   DoipSettings settings, std::uint8_t version)
    : connection_(std::move(connection)), endpoint_(std::move(endpoint)),
      settings_(std::move(settings)), version_(version), target_(settings_.target.value_or(0)) {}

void DoipLink::fail(std::int32_t number, const std::string& text) {
    throw Error(ErrorKind::Link, number, "DoIP " + endpoint_ + ": " + text, kSource);
}

void DoipLink::failGeneric(const doip::Message& message) {
    broken_ = true;
    fail(doip_error::kGenericNack,
         "the entity refused our message: " + doip::headerNackName(message.payload.at(0)));
}

void DoipLink::send(std::uint16_t type, std::span<const std::uint8_t> payload) {
    const auto bytes = doip::encode(version_, type, payload);
    connection_->write(bytes);
}

bool DoipLink::toTester(const doip::Message& message) const {
    return doip::wordAt(message.payload, 2) == settings_.tester;
}

std::optional<doip::Message> DoipLink::next(Clock::time_point deadline) {
    try {
        for (;;) {
            while (auto message = reader_.next()) {
                if (message->type == doip::kAliveCheckRequest) {
                    std::vector<std::uint8_t> tester;
                    doip::appendWord(tester, settings_.tester);
                    send(doip::kAliveCheckResponse, tester);
                } else if (!doip::isKnownType(message->type)) {
                    const std::uint8_t code = doip::kUnknownPayloadType;
                    send(doip::kGenericNack, std::span(&code, 1));
                } else {
                    return message;
                }
            }
            const std::size_t got = connection_->read(buffer_, deadline);
            if (got == 0) {
                return std::nullopt;
            }
            reader_.push(std::span(buffer_.data(), got));
        }
    } catch (const doip::StreamFault& fault) {
        broken_ = true;
        // Tell the entity why we go, then go: after a broken header the
        // stream is out of step for good.
        const std::uint8_t code = fault.code();
        try {
            send(doip::kGenericNack, std::span(&code, 1));
        } catch (const Error&) {
        }
        fail(doip_error::kBadMessage, fault.description() + "; the connection is closed");
    } catch (const Error& e) {
        if (e.number() != link_error::kDeviceLost) {
            throw;
        }
        throw Error(ErrorKind::Link, link_error::kDeviceLost,
                    "DoIP " + endpoint_ +
                        ": the entity closed the connection — is the car or bench still on?",
                    kSource);
    }
}

DoipLink::Activation DoipLink::activate() {
    std::vector<std::uint8_t> request;
    doip::appendWord(request, settings_.tester);
    request.push_back(settings_.activation);
    request.insert(request.end(), 4, 0x00);
    send(doip::kRoutingActivationRequest, request);
    auto deadline = connection_->now() + settings_.timeout;
    for (;;) {
        const auto message = next(deadline);
        if (!message) {
            broken_ = true;
            fail(doip_error::kNoActivationResponse,
                 "no answer to the routing activation within " + milliseconds(settings_.timeout) +
                     " — is it a DoIP entity, and is the link key timeout long enough?");
        }
        if (message->type == doip::kGenericNack) {
            if (message->payload[0] == doip::kIncorrectPattern) {
                broken_ = true;
                return Activation::WrongVersion;
            }
            failGeneric(*message);
        }
        if (message->type != doip::kRoutingActivationResponse) {
            continue;
        }
        const std::uint8_t code = message->payload[kActivationCodeAt];
        if (code == doip::kActivationConfirmationRequired) {
            deadline = connection_->now() + kConfirmationWait;
            continue;
        }
        if (code != doip::kActivationSuccess) {
            broken_ = true;
            fail(doip_error::kActivationRefused,
                 "routing activation refused: " +
                     doip::activationRefusalText(code, settings_.tester));
        }
        if (!settings_.target) {
            target_ = doip::wordAt(message->payload, 2);
        }
        if (message->version == doip::kVersion2012 || message->version == doip::kVersion2019) {
            version_ = message->version;
        }
        return Activation::Active;
    }
}

void DoipLink::takeWaiting() {
    while (const auto message = next(connection_->now())) {
        if (message->type == doip::kGenericNack) {
            failGeneric(*message);
        }
    }
}

void DoipLink::sendMessage(const ByteString& request) {
    // What came after its exchange gave up belongs to no request now.
    takeWaiting();
    send(doip::kDiagnosticMessage,
         doip::addressedPayload(settings_.tester, target_, request.bytes()));
    const auto deadline = connection_->now() + settings_.timeout;
    for (;;) {
        const auto message = next(deadline);
        if (!message) {
            // A late acknowledgement and its reply would pass for those of
            // the next request: only a new connection is sure to be rid of
            // them.
            broken_ = true;
            fail(doip_error::kNoAck, "the entity did not acknowledge the request within " +
                                         milliseconds(settings_.timeout) + " (link key timeout)");
        }
        switch (message->type) {
        case doip::kGenericNack:
            failGeneric(*message);
        case doip::kDiagnosticAck:
            if (toTester(*message)) {
                return;
            }
            break;
        case doip::kDiagnosticNack:
            if (toTester(*message)) {
                const std::uint8_t code = message->payload[doip::kAddressPairLength];
                fail(doip_error::kNegativeAck, "the entity refused the request for ECU " +
                                                   hexPadded(target_, 4) + ": " +
                                                   doip::diagnosticNackName(code));
            }
            break;
        default:
            // The entity acknowledges a request before it passes it on, so a
            // reply before the acknowledgement answers an older request.
            break;
        }
    }
}

std::optional<ByteString> DoipLink::receiveMessage(std::chrono::milliseconds timeout) {
    const auto deadline = connection_->now() + timeout;
    while (const auto message = next(deadline)) {
        if (message->type == doip::kGenericNack) {
            failGeneric(*message);
        }
        if (message->type == doip::kDiagnosticMessage && toTester(*message) &&
            doip::wordAt(message->payload, 0) == target_) {
            return ByteString(std::vector<std::uint8_t>(
                message->payload.begin() + doip::kAddressPairLength, message->payload.end()));
        }
    }
    return std::nullopt;
}

} // namespace vistrel
