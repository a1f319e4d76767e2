// SPDX-License-Identifier: MIT
#pragma once

#include "link/byte_line.h"
#include "link/socketcand_text.h"
#include "sim/isotp_ecu.h"

#include <functional>
#include <string>

namespace vistrel {

// A virtual socketcand server with the simulated ECU on its bus: greets with
// "< hi >", opens its one bus, switches to raw mode, takes "< send >" and
// reports the ECU's frames as "< frame >". Anything else gets an
// "< error ... >" as from the real server.
class SocketcandServer {
public:
    SocketcandServer(const EcuDescription& description, IsoTpEcuSettings settings,
                     std::string bus = "can0");

    // Serves one connection until the tester leaves or keepGoing says no
    // (asked at least every 20 ms).
    void serve(ByteLine& connection, const std::function<bool()>& keepGoing);

private:
    std::string answer(const std::string& message, ByteLine::Clock::time_point now);

    IsoTpEcu ecu_;
    std::string bus_;
    enum class Mode { Greeted, BusOpen, Raw } mode_ = Mode::Greeted;
};

} // namespace vistrel
