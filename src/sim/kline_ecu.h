// SPDX-License-Identifier: MIT
#pragma once

#include "link/byte_line.h"
#include "link/kline_frame.h"
#include "sim/ecu_description.h"
#include "sim/ecu_responder.h"
#include "sim/wire_faults.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vistrel {

// How the simulated ECU behaves on a K-line.
struct KLineEcuSettings {
    std::uint8_t address = 0x10;
    // The key bytes of the StartCommunication reply; KB1 offers every header
    // form.
    std::uint8_t kb1 = 0xEF;
    std::uint8_t kb2 = 0x8F;
    // Time from the request's last byte to the answer's first, and between
    // the answer's bytes.
    std::chrono::milliseconds p2{25};
    std::chrono::milliseconds p1{0};
    // A one-wire line hands every byte back to the tester.
    bool echo = true;
    std::vector<WireFaultRule> faults;
    // Told of each request as it comes in ("request 2301000004"), when set.
    std::function<void(const std::string&)> log;
};

// The wire side of the simulated ECU: the same description and KWP2000
// responder as SimulatedEcu, served as an ISO 14230-2 ECU on a serial line.
// It echoes what it receives, answers StartCommunication with its key bytes,
// answers in the header form of the request after P2, and drops requests
// with a bad checksum or for another address.
class KLineEcu {
public:
    enum class Outcome { Stopped, HungUp };

    KLineEcu(const EcuDescription& description, KLineEcuSettings settings);

    // Serves until keepGoing says no (asked at least every 100 ms) or a
    // hang-up fault comes due. A failing line throws Error.
    Outcome serve(ByteLine& line, const std::function<bool()>& keepGoing);

private:
    using Bytes = std::vector<std::uint8_t>;

    // False when the ECU hangs up.
    bool answer(ByteLine& line);
    void send(ByteLine& line, const Bytes& frame);
    // True when a rule puts that fault on the count-th frame; never on the
    // 0th (TesterPresent's).
    bool due(WireFault fault, unsigned count) const;

    KLineEcuSettings settings_;
    std::unique_ptr<EcuResponder> responder_;
    int silentStarts_;
    std::chrono::microseconds latency_;
    KLineFrameReader reader_;
    // Frames received so far, and StartCommunication requests among them.
    unsigned frames_ = 0;
    unsigned starts_ = 0;
};

} // namespace vistrel
