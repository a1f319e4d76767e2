// SPDX-License-Identifier: MIT
#pragma once

#include "link/byte_line.h"
#include "sim/ecu_description.h"
#include "sim/ecu_responder.h"
#include "sim/elm_adapter.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

namespace vistrel {

// The virtual adapter served on a line, in front of the same KWP2000
// responder and ECU description as the simulator: what the tester writes
// goes to the adapter, what the adapter prints goes back. The adapter's own events (a
// restart, a message on the next request) may be set off from another
// thread while it serves.
class ElmAdapterService {
public:
    ElmAdapterService(const EcuDescription& description, bool clone, ElmQuirks quirks = {});

    // Serves until keepGoing says no (asked at least every 100 ms); a
    // failing line throws Error.
    void serve(ByteLine& line, const std::function<bool()>& keepGoing);

    // The adapter restarts now, between requests, printing its banner on
    // the line; returns once it did (or the service stopped).
    void reboot();
    // The adapter restarts when the next request arrives, instead of
    // answering it.
    void rebootOnNextRequest();
    // The next request gets these words instead of (or, with thenReply,
    // before) the ECU's reply.
    void sayOnNextRequest(std::string words, bool thenReply = false);

private:
    void send(ByteLine& line, const std::string& text);
    // What the adapter prints for bytes from the tester: with the stopped
    // quirk it takes a while over a request, and a byte meanwhile stops it.
    std::string answer(ByteLine& line, std::string_view bytes);

    std::unique_ptr<EcuResponder> responder_;
    std::mutex mutex_;
    ElmAdapter adapter_;
    bool stoppable_;
    std::condition_variable rebooted_;
    bool rebootRequested_ = false;
    bool serving_ = false;
};

} // namespace vistrel
