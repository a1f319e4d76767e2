// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "engine/engine_event.h"
#include "engine/read_result_pool.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <thread>
#include <vector>

namespace vistrel {

class Protocol;
class VistrelItems;

// The reading engine: owns the protocol object and the list it reads, and
// runs the polling cycle (open the communication, start the session, read
// the list again and again) on a thread of its own. Nothing else touches the
// protocol object, so no caller ever waits on a line.
//
// Commands may come from any thread. Each is applied between two exchanges:
// one that must end the cycle or change what it reads (stop, abort, a new
// list or link) cuts a list read short before its next item, so it waits
// for at most one exchange. What happened comes out as events, in order;
// the owner is told through eventsWaiting (called on the engine's thread)
// and takes them on its own thread. No exception leaves the engine: a
// failed step is a Failed event, and the cycle tries again.
class Poller {
public:
    using Clock = std::function<std::uint32_t()>;

    // clock gives the milliseconds that events carry; eventsWaiting runs on
    // the engine's thread whenever events start waiting to be taken.
    explicit Poller(Clock clock, std::function<void()> eventsWaiting = {});
    // Stops the cycle at the next exchange boundary and releases the link.
    ~Poller();
    Poller(const Poller&) = delete;
    Poller& operator=(const Poller&) = delete;

    // A new link; the cycle, if running, opens the communication again.
    void setLink(std::shared_ptr<Protocol> link, std::uint64_t generation);
    // Reads list from now on, from opening the communication (again).
    void start(std::unique_ptr<VistrelItems> list, std::uint64_t generation);
    // Reads list instead of the current one; a running cycle begins anew.
    void replaceList(std::unique_ptr<VistrelItems> list, std::uint64_t generation);
    // Back to idle at the next exchange boundary.
    void stop();
    // During a step the cycle halts where it is; between steps as stop().
    void abort();
    // The next good read also saves every request and reply to path;
    // nullopt disarms.
    void armSnapshot(std::optional<std::string> path);

    // The events waiting, oldest first; at most the given number.
    std::vector<EngineEvent> takeEvents(std::size_t most = SIZE_MAX);
    // Waits until events wait to be taken; false when none came in time.
    bool waitForEvents(std::chrono::milliseconds timeout);

private:
    struct Command;

    void post(Command command, bool cutsReadShort);
    void run();
    void apply(Command& command);
    // The phase's step; its outcome, or nothing when a command cut it short.
    std::optional<StepOutcome> step();
    StepOutcome openCommunication();
    StepOutcome startSession();
    StepOutcome readList();
    void adoptList(std::unique_ptr<VistrelItems> list);
    // Lets the link keep the ECU's session while nothing else goes out.
    void keepLinkAlive() noexcept;
    void prepareList();
    void restartIfRunning();
    void emit(EngineEvent event);

    const Clock clock_;
    const std::function<void()> eventsWaiting_;

    // Guarded by mutex_: the hand-over between the callers and the thread.
    std::mutex mutex_;
    std::condition_variable wakeUp_;
    std::condition_variable eventsCame_;
    std::deque<Command> commands_;
    std::vector<EngineEvent> events_;
    bool quitting_ = false;
    bool inStep_ = false;
    // The list being read, so that a command can cut its read short.
    VistrelItems* reading_ = nullptr;

    // The engine thread's own.
    std::shared_ptr<Protocol> link_;
    std::unique_ptr<VistrelItems> list_;
    std::uint64_t generation_ = 0;
    CyclePhase phase_ = CyclePhase::Idle;
    bool running_ = false;
    // The earliest start of the next step.
    std::chrono::steady_clock::time_point nextStepAt_{};
    std::optional<std::string> snapshotPath_;
    bool takenSnapshot_ = false;
    ByteString sessionRequest_;
    ByteString sessionReply_;
    ReadResultPool readResults_;

    std::jthread thread_;
};

} // namespace vistrel
