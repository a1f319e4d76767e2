// SPDX-License-Identifier: MIT
// What the simulated entity never does, on a fake line: messages of other
// kinds and for other addresses around the reply, a late reply before the
// acknowledgement, a broken header, a generic refusal. Each is taken, passed
// over or answered as the entity expects, and a connection that cannot be
// trusted is made anew.

#include "components/error_numbers.h"
#include "fakes/error_of.h"
#include "fakes/fake_line.h"
#include "link/doip_message.h"
#include "link/doip_protocol.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

const ByteString kRequest{0x22, 0xF1, 0x90};
const Bytes kReply{0x62, 0xF1, 0x90, 0x01};

Bytes message(std::uint16_t type, const Bytes& payload) {
    return doip::encode(doip::kVersion2012, type, payload);
}
Bytes addressed(std::uint16_t type, std::uint16_t source, std::uint16_t target, const Bytes& data) {
    return message(type, doip::addressedPayload(source, target, data));
}
Bytes ack(std::uint16_t tester = 0x0E00) {
    return addressed(doip::kDiagnosticAck, 0x0010, tester, {0x00, 0x22, 0xF1, 0x90});
}
Bytes reply(std::uint16_t ecu = 0x0010) {
    return addressed(doip::kDiagnosticMessage, ecu, 0x0E00, kReply);
}
Bytes join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

struct Entity {
    // What the entity sends after each diagnostic message.
    Bytes answer;
    std::vector<testing::FakeLine*> lines;

    DoipProtocol link() {
        DoipSettings settings;
        settings.host = "fake";
        return DoipProtocol(settings, [this] {
            auto line = std::make_unique<testing::FakeLine>();
            line->device = [this](testing::FakeLine& l, std::span<const std::uint8_t> bytes) {
                const std::uint16_t type = doip::wordAt(bytes, 2);
                if (type == doip::kRoutingActivationRequest) {
                    l.arrive(message(doip::kRoutingActivationResponse,
                                     {0x0E, 0x00, 0x00, 0x10, 0x10, 0, 0, 0, 0}),
                             l.now());
                } else if (type == doip::kDiagnosticMessage) {
                    l.arrive(answer, l.now() + std::chrono::milliseconds(1));
                }
            };
            lines.push_back(line.get());
            return line;
        });
    }
    // The types of what the link wrote on its last connection.
    std::vector<std::uint16_t> written() const {
        std::vector<std::uint16_t> types;
        for (const auto& event : lines.back()->events) {
            types.push_back(doip::wordAt(event.bytes, 2));
        }
        return types;
    }
};

TEST(DoipLink, TakesTheReplyAmongOtherMessages) {
    const Bytes cases[] = {
        join({ack(), message(0x4001, {1, 2}), message(doip::kAliveCheckRequest, {}), reply()}),
        join({addressed(doip::kDiagnosticMessage, 0x0010, 0x0E00, {0x62, 0xF1, 0x90, 0xEE}), ack(),
              reply()}),
        join({ack(), reply(0x0011), reply()}),
    };
    for (const Bytes& answer : cases) {
        Entity entity{answer, {}};
        DoipProtocol link = entity.link();
        link.InitCommunication();
        ByteString got;
        link.SendReceive(kRequest, got);
        EXPECT_EQ(got, ByteString(kReply));
    }
    // The unknown type is refused, the alive check answered with our address.
    Entity entity{cases[0], {}};
    DoipProtocol link = entity.link();
    link.InitCommunication();
    ByteString got;
    link.SendReceive(kRequest, got);
    EXPECT_EQ(entity.written(),
              (std::vector<std::uint16_t>{doip::kRoutingActivationRequest, doip::kDiagnosticMessage,
                                          doip::kGenericNack, doip::kAliveCheckResponse}));
}

TEST(DoipLink, UntrustedConnectionsAreMadeAnew) {
    const std::tuple<Bytes, std::int32_t, const char*> cases[] = {
        {{0x02, 0xFC, 0x80, 0x02, 0, 0, 0, 5}, doip_error::kBadMessage, "do not match"},
        {message(doip::kGenericNack, {0x04}), doip_error::kGenericNack, "invalid payload length"},
        {join({ack(0x0E01), reply()}), doip_error::kNoAck, "did not acknowledge"},
    };
    for (const auto& [answer, number, text] : cases) {
        Entity entity{answer, {}};
        DoipProtocol link = entity.link();
        link.InitCommunication();
        const auto error = testing::errorOf([&] {
            ByteString got;
            link.SendReceive(kRequest, got);
        });
        ASSERT_TRUE(error) << text;
        EXPECT_EQ(error->number(), number);
        EXPECT_NE(error->description().find(text), std::string::npos) << error->description();
        link.InitCommunication();
        EXPECT_EQ(entity.lines.size(), 2U) << text;
    }
}

} // namespace
} // namespace vistrel
