// SPDX-License-Identifier: MIT
#include "sim/doip_entity.h"

#include "components/error.h"
#include "components/error_numbers.h"

#include <algorithm>
#include <deque>
#include <poll.h>
#include <thread>

namespace vistrel {
namespace {

using Clock = ByteLine::Clock;

constexpr auto kPollSlice = std::chrono::milliseconds(100);
// How long a tester has to answer an alive check.
constexpr auto kAliveCheckTime = std::chrono::milliseconds(500);
// How long the entity takes to "confirm" a routing activation.
constexpr auto kConfirmationTime = std::chrono::milliseconds(200);
// The pause between the two pieces of a split message, so that they travel
// in separate TCP segments.
constexpr auto kSplitPause = std::chrono::milliseconds(2);

constexpr std::uint8_t kActivationTypes[] = {0x00, 0x01, 0xE0};
constexpr std::uint8_t kUnknownSourceNack = 0x02;
constexpr std::uint8_t kUnknownTargetNack = 0x03;
constexpr std::uint8_t kAllSocketsTaken = 0x01;
constexpr std::uint8_t kSourceActiveElsewhere = 0x03;
constexpr std::uint8_t kUnsupportedActivationType = 0x06;

bool spoken(std::uint8_t version) {
    return version == doip::kVersion2012 || version == doip::kVersion2019;
}

} // namespace

struct DoipEntity::Connection {
    std::unique_ptr<SerialLine> line;
    doip::StreamReader reader;
    // Messages that came while the entity waited for an alive check answer.
    std::deque<doip::Message> held;
    std::uint8_t version = doip::kVersion2012;
    bool active = false;
    bool closing = false;
    std::uint16_t tester = 0;
    unsigned messages = 0;
    unsigned diagnostics = 0;
};

DoipEntity::DoipEntity(DoipEntitySettings settings, DiagnosticAnswerer answer)
    : settings_(std::move(settings)), answer_(std::move(answer)) {}

DoipEntity::~DoipEntity() = default;

void DoipEntity::write(Connection& connection, std::uint16_t type,
                       std::span<const std::uint8_t> payload) {
    const auto bytes = doip::encode(connection.version, type, payload);
    if (!settings_.faults.split) {
        connection.line->write(bytes);
        return;
    }
    const std::size_t half = bytes.size() / 2;
    connection.line->write(std::span(bytes).first(half));
    std::this_thread::sleep_for(kSplitPause);
    connection.line->write(std::span(bytes).subspan(half));
}

void DoipEntity::answerIdentification(UdpSocket& udp) {
    const auto datagram = udp.receive(Clock::now());
    if (!datagram) {
        return;
    }
    doip::StreamReader reader;
    reader.push(datagram->bytes);
    try {
        const auto message = reader.next();
        if (!message || message->type != doip::kVehicleIdentificationRequest ||
            !(spoken(message->version) || message->version == doip::kVersionAny)) {
            return;
        }
        std::vector<std::uint8_t> payload(settings_.vin.begin(), settings_.vin.end());
        payload.resize(doip::kVinLength, ' ');
        doip::appendWord(payload, settings_.address);
        payload.insert(payload.end(), settings_.eid.begin(), settings_.eid.end());
        payload.insert(payload.end(), settings_.eid.begin(), settings_.eid.end());
        payload.push_back(0x00);
        const std::uint8_t version =
            spoken(message->version) ? message->version : doip::kVersion2012;
        udp.sendTo(datagram->from, datagram->port,
                   doip::encode(version, doip::kVehicleAnnouncement, payload));
    } catch (const doip::StreamFault&) {
        // Not a request for us: discovery stays silent.
    }
}

bool DoipEntity::stillThere(Connection& connection) {
    try {
        write(connection, doip::kAliveCheckRequest, {});
        const auto deadline = Clock::now() + kAliveCheckTime;
        std::array<std::uint8_t, 1024> buffer{};
        for (;;) {
            while (auto message = connection.reader.next()) {
                if (message->type == doip::kAliveCheckResponse) {
                    return true;
                }
                connection.held.push_back(std::move(*message));
            }
            const std::size_t got = connection.line->read(buffer, deadline);
            if (got == 0) {
                return false;
            }
            connection.reader.push(std::span(buffer.data(), got));
        }
    } catch (const Error&) {
        return false;
    }
}

bool DoipEntity::activate(Connection& connection, const doip::Message& message) {
    const std::uint16_t tester = doip::wordAt(message.payload, 0);
    const std::uint8_t type = message.payload[2];
    std::uint8_t code = doip::kActivationSuccess;
    if (settings_.faults.activation) {
        code = *settings_.faults.activation;
    } else if (std::find(std::begin(kActivationTypes), std::end(kActivationTypes), type) ==
               std::end(kActivationTypes)) {
        code = kUnsupportedActivationType;
    } else {
        for (const auto& other : connections_) {
            if (other.get() == &connection || !other->active || other->closing) {
                continue;
            }
            if (stillThere(*other)) {
                code = other->tester == tester ? kSourceActiveElsewhere : kAllSocketsTaken;
            } else {
                other->closing = true;
            }
        }
    }
    std::vector<std::uint8_t> response;
    doip::appendWord(response, tester);
    doip::appendWord(response, settings_.address);
    response.push_back(code);
    response.insert(response.end(), 4, 0x00);
    if (code == doip::kActivationConfirmationRequired) {
        write(connection, doip::kRoutingActivationResponse, response);
        std::this_thread::sleep_for(kConfirmationTime);
        code = doip::kActivationSuccess;
        response[4] = code;
    }
    write(connection, doip::kRoutingActivationResponse, response);
    connection.active = code == doip::kActivationSuccess;
    connection.tester = tester;
    return connection.active;
}

bool DoipEntity::diagnose(Connection& connection, const doip::Message& message) {
    const std::uint16_t source = doip::wordAt(message.payload, 0);
    const std::uint16_t target = doip::wordAt(message.payload, 2);
    const std::span<const std::uint8_t> data =
        std::span(message.payload).subspan(doip::kAddressPairLength);
    const auto refuse = [&](std::uint8_t code) {
        write(connection, doip::kDiagnosticNack,
              doip::addressedPayload(target, source, std::span(&code, 1)));
    };
    if (!connection.active || source != connection.tester) {
        // A tester without routing on this connection is not heard.
        refuse(kUnknownSourceNack);
        return false;
    }
    if (target != settings_.address) {
        refuse(kUnknownTargetNack);
        return true;
    }
    const DoipFaults& faults = settings_.faults;
    const bool faulty = ++connection.diagnostics % 2 == 0;
    if (faulty && faults.nack) {
        refuse(*faults.nack);
        return true;
    }
    if (faulty && faults.noAck) {
        return true;
    }
    if (faulty && faults.slowAck) {
        std::this_thread::sleep_for(*faults.slowAck);
    }
    if (faulty && faults.aliveCheck && !stillThere(connection)) {
        return false;
    }
    // The acknowledgement echoes the whole request, as entities may.
    std::vector<std::uint8_t> ack{doip::kAckCode};
    ack.insert(ack.end(), data.begin(), data.end());
    write(connection, doip::kDiagnosticAck, doip::addressedPayload(target, source, ack));
    const ByteString reply =
        answer_(ByteString(std::vector<std::uint8_t>(data.begin(), data.end())));
    if (!reply.empty()) {
        write(connection, doip::kDiagnosticMessage,
              doip::addressedPayload(target, source, reply.bytes()));
    }
    return true;
}

bool DoipEntity::handle(Connection& connection, const doip::Message& message) {
    const auto& only = settings_.faults.onlyVersion;
    if (!spoken(message.version) || (only && message.version != *only)) {
        connection.version = only.value_or(doip::kVersion2012);
        const std::uint8_t code = doip::kIncorrectPattern;
        write(connection, doip::kGenericNack, std::span(&code, 1));
        return false;
    }
    if (connection.messages == 0) {
        connection.version = message.version;
    }
    ++connection.messages;
    bool keep = true;
    switch (message.type) {
    case doip::kRoutingActivationRequest:
        keep = activate(connection, message);
        break;
    case doip::kDiagnosticMessage:
        keep = diagnose(connection, message);
        break;
    case doip::kAliveCheckRequest: {
        std::vector<std::uint8_t> address;
        doip::appendWord(address, settings_.address);
        write(connection, doip::kAliveCheckResponse, address);
        break;
    }
    default:
        if (!doip::isKnownType(message.type)) {
            const std::uint8_t code = doip::kUnknownPayloadType;
            write(connection, doip::kGenericNack, std::span(&code, 1));
        }
        break;
    }
    const auto& closeAfter = settings_.faults.closeAfter;
    return keep && !(closeAfter && connection.messages >= *closeAfter);
}

bool DoipEntity::take(Connection& connection) {
    try {
        while (!connection.held.empty()) {
            const doip::Message message = std::move(connection.held.front());
            connection.held.pop_front();
            if (!handle(connection, message)) {
                return false;
            }
        }
        std::array<std::uint8_t, 4096> buffer{};
        const std::size_t got = connection.line->read(buffer, Clock::now());
        connection.reader.push(std::span(buffer.data(), got));
        try {
            while (const auto message = connection.reader.next()) {
                if (!handle(connection, *message)) {
                    return false;
                }
            }
        } catch (const doip::StreamFault& fault) {
            const std::uint8_t code = fault.code();
            write(connection, doip::kGenericNack, std::span(&code, 1));
            return false;
        }
        return true;
    } catch (const Error& e) {
        // The tester hung up: the entity serves the others.
        if (e.number() != link_error::kDeviceLost) {
            throw;
        }
        return false;
    }
}

void DoipEntity::serve(TcpListener& listener, UdpSocket& udp,
                       const std::function<bool()>& keepGoing) {
    std::vector<pollfd> ready;
    while (keepGoing()) {
        ready.assign({{listener.descriptor(), POLLIN, 0}, {udp.descriptor(), POLLIN, 0}});
        bool held = false;
        for (const auto& connection : connections_) {
            ready.push_back({connection->line->descriptor(), POLLIN, 0});
            held = held || !connection->held.empty();
        }
        const int timeout = held ? 0 : static_cast<int>(kPollSlice.count());
        if (::poll(ready.data(), ready.size(), timeout) < 0) {
            continue;
        }
        if (ready[0].revents != 0) {
            if (auto line = listener.accept(Clock::now())) {
                connections_.push_back(std::make_unique<Connection>());
                connections_.back()->line = std::move(line);
            }
        }
        if (ready[1].revents != 0) {
            answerIdentification(udp);
        }
        for (std::size_t i = 0; i + 2 < ready.size() && i < connections_.size(); ++i) {
            Connection& connection = *connections_[i];
            if ((ready[i + 2].revents != 0 || !connection.held.empty()) && !connection.closing &&
                !take(connection)) {
                connection.closing = true;
            }
        }
        std::erase_if(connections_, [](const auto& connection) { return connection->closing; });
    }
}

} // namespace vistrel
