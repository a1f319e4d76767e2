// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "link/doip_message.h"
#include "link/tcp_socket.h"
#include "link/udp_socket.h"
#include "sim/doip_faults.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vistrel {

// The ECU behind the entity: a request's bytes in, its reply's bytes out
// (none when it stays silent).
using DiagnosticAnswerer = std::function<ByteString(const ByteString& request)>;

struct DoipEntitySettings {
    // The entity's logical address, which is also its one ECU's.
    std::uint16_t address = 0x0010;
    std::string vin = "VISTRELSIM0000001";
    // Entity and group id: a locally administered hardware address.
    std::array<std::uint8_t, 6> eid{0x02, 0x00, 0x00, 0x00, 0x00, 0x01};
    DoipFaults faults;
};

// A DoIP entity with one ECU behind it: answers vehicle identification
// requests on UDP and serves testers on TCP (routing activation, diagnostic
// messages acknowledged and forwarded, alive checks), one active tester at a
// time. A second tester that asks for routing gets it only when the first
// no longer answers an alive check.
class DoipEntity {
public:
    DoipEntity(DoipEntitySettings settings, DiagnosticAnswerer answer);
    ~DoipEntity();
    DoipEntity(const DoipEntity&) = delete;
    DoipEntity& operator=(const DoipEntity&) = delete;

    // Serves until keepGoing says no (asked at least every 100 ms).
    void serve(TcpListener& listener, UdpSocket& udp, const std::function<bool()>& keepGoing);

private:
    struct Connection;

    void answerIdentification(UdpSocket& udp);
    // Reads what came on the connection and answers it; false when the
    // connection has to go.
    bool take(Connection& connection);
    bool handle(Connection& connection, const doip::Message& message);
    bool activate(Connection& connection, const doip::Message& message);
    bool diagnose(Connection& connection, const doip::Message& message);
    // True when the tester answered an alive check within the time allowed.
    bool stillThere(Connection& connection);
    void write(Connection& connection, std::uint16_t type, std::span<const std::uint8_t> payload);

    DoipEntitySettings settings_;
    DiagnosticAnswerer answer_;
    std::vector<std::unique_ptr<Connection>> connections_;
};

} // namespace vistrel
