// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/scripted_protocol.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace vistrel::testing {

// A scripted protocol on a fake clock: every call (opening, exchange) waits
// until the test lets it through, so the test decides how many calls the
// engine makes and can act while one is in flight. A test that scripts
// answers does so while the engine waits (or before Start).
class SteppedProtocol : public ScriptedProtocol {
public:
    // Lets the next n calls through.
    void allow(int n) {
        const std::lock_guard lock(mutex_);
        permits_ += n;
        changed_.notify_all();
    }
    // Every call from now on goes through at once (the end of a test).
    void openGate() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // True while the engine waits inside a call for a permit that has not
    // been given yet: it has made every call it was allowed.
    bool waiting() {
        const std::lock_guard lock(mutex_);
        return waiting_ && permits_ == 0 && !open_;
    }
    std::vector<std::string> requestsSent() {
        const std::lock_guard lock(mutex_);
        return requests;
    }

    void InitCommunication() override {
        pass();
        ScriptedProtocol::InitCommunication();
    }
    void SendReceive(const ByteString& request, ByteString& reply) override {
        pass();
        ScriptedProtocol::SendReceive(request, reply);
    }

    // One call: waits for a permit.
    void pass() {
        std::unique_lock lock(mutex_);
        waiting_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_ || permits_ > 0; });
        waiting_ = false;
        if (!open_) {
            --permits_;
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int permits_ = 0;
    bool waiting_ = false;
    bool open_ = false;
};

} // namespace vistrel::testing
