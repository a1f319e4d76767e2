// SPDX-License-Identifier: MIT
#include "engine/poller.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "components/protocol.h"
#include "engine/snapshot_file.h"
#include "itemlist/vistrel_items.h"

#include <exception>
#include <iterator>
#include <utility>

namespace vistrel {
namespace {

// A failed step is tried again this long after it ended, as the timer of a
// window did: a link that fails at once must not spin a core.
constexpr auto kRetryPause = std::chrono::milliseconds(1);
// Steps begin at most once in this time, as a 1 ms timer would start them: a
// link that answers at once (the simulator) must not flood the views and the
// recording with tens of thousands of reads a second. A real link's read
// takes far longer, and never waits for it.
constexpr auto kStepPeriod = std::chrono::milliseconds(1);
// How often a halted cycle lets the link keep the ECU's session.
constexpr auto kKeepAlivePeriod = std::chrono::milliseconds(500);

StepOutcome outcome(StepOutcome::Kind kind, CyclePhase phase, std::string failure = {}) {
    return StepOutcome{kind, phase, std::move(failure)};
}

} // namespace

struct Poller::Command {
    enum class Kind { SetLink, Start, ReplaceList, Stop, Abort, ArmSnapshot };
    Kind kind;
    std::shared_ptr<Protocol> link = {};
    std::unique_ptr<VistrelItems> list = {};
    std::uint64_t generation = 0;
    std::optional<std::string> snapshotPath = {};
    // An Abort that came while a step was in flight halts instead of
    // stopping.
    bool duringStep = false;
};

Poller::Poller(Clock clock, std::function<void()> eventsWaiting)
    : clock_(std::move(clock)), eventsWaiting_(std::move(eventsWaiting)),
      thread_([this] { run(); }) {}

Poller::~Poller() {
    {
        const std::lock_guard lock(mutex_);
        quitting_ = true;
        if (reading_ != nullptr) {
            reading_->setAbortRequest(true);
        }
    }
    wakeUp_.notify_all();
    thread_.join();
}

void Poller::post(Command command, bool cutsReadShort) {
    {
        const std::lock_guard lock(mutex_);
        command.duringStep = inStep_;
        commands_.push_back(std::move(command));
        if (cutsReadShort && reading_ != nullptr) {
            reading_->setAbortRequest(true);
        }
    }
    wakeUp_.notify_all();
}

void Poller::setLink(std::shared_ptr<Protocol> link, std::uint64_t generation) {
    post(Command{Command::Kind::SetLink, std::move(link), nullptr, generation}, true);
}

void Poller::start(std::unique_ptr<VistrelItems> list, std::uint64_t generation) {
    post(Command{Command::Kind::Start, nullptr, std::move(list), generation}, true);
}

void Poller::replaceList(std::unique_ptr<VistrelItems> list, std::uint64_t generation) {
    post(Command{Command::Kind::ReplaceList, nullptr, std::move(list), generation}, true);
}

void Poller::stop() {
    post(Command{Command::Kind::Stop}, true);
}

void Poller::abort() {
    post(Command{Command::Kind::Abort}, true);
}

void Poller::armSnapshot(std::optional<std::string> path) {
    post(Command{Command::Kind::ArmSnapshot, nullptr, nullptr, 0, std::move(path)}, false);
}

std::vector<EngineEvent> Poller::takeEvents(std::size_t most) {
    const std::lock_guard lock(mutex_);
    if (events_.size() <= most) {
        return std::exchange(events_, {});
    }
    std::vector<EngineEvent> taken(
        std::make_move_iterator(events_.begin()),
        std::make_move_iterator(events_.begin() + static_cast<std::ptrdiff_t>(most)));
    events_.erase(events_.begin(), events_.begin() + static_cast<std::ptrdiff_t>(most));
    return taken;
}

bool Poller::waitForEvents(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return eventsCame_.wait_for(lock, timeout, [this] { return !events_.empty(); });
}

void Poller::emit(EngineEvent event) {
    bool first = false;
    {
        const std::lock_guard lock(mutex_);
        first = events_.empty();
        events_.push_back(std::move(event));
    }
    eventsCame_.notify_all();
    if (first && eventsWaiting_) {
        eventsWaiting_();
    }
}

void Poller::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (quitting_) {
            break;
        }
        if (!commands_.empty()) {
            std::deque<Command> commands = std::exchange(commands_, {});
            lock.unlock();
            for (Command& command : commands) {
                apply(command);
            }
            lock.lock();
            continue;
        }
        if (!running_) {
            if (phase_ == CyclePhase::Idle) {
                wakeUp_.wait(lock);
                continue;
            }
            // Halted within a session: the ECU must not drop it meanwhile.
            wakeUp_.wait_for(lock, kKeepAlivePeriod);
            lock.unlock();
            keepLinkAlive();
            lock.lock();
            continue;
        }
        if (std::chrono::steady_clock::now() < nextStepAt_) {
            wakeUp_.wait_until(lock, nextStepAt_);
            continue;
        }
        // A flag set by a command that has been applied must not cut the
        // next read short; one set from now on must.
        list_->setAbortRequest(false);
        inStep_ = true;
        lock.unlock();
        const auto stepStart = std::chrono::steady_clock::now();
        const std::optional<StepOutcome> done = step();
        lock.lock();
        inStep_ = false;
        nextStepAt_ = done && done->kind == StepOutcome::Kind::Failed
                          ? std::chrono::steady_clock::now() + kRetryPause
                          : stepStart + kStepPeriod;
    }
    reading_ = nullptr;
    lock.unlock();
    if (list_) {
        if (list_) {
            list_->releaseReading();
        }
    }
    // The port is released here, on the thread that used it.
    list_.reset();
    link_.reset();
}

void Poller::apply(Command& command) {
    using Kind = Command::Kind;
    switch (command.kind) {
    case Kind::SetLink:
        if (list_) {
            if (list_) {
                list_->releaseReading();
            }
        }
        link_ = std::move(command.link);
        generation_ = command.generation;
        prepareList();
        restartIfRunning();
        break;
    case Kind::Start:
        adoptList(std::move(command.list));
        generation_ = command.generation;
        prepareList();
        running_ = true;
        phase_ = CyclePhase::OpenCommunication;
        nextStepAt_ = {};
        emit({outcome(StepOutcome::Kind::Started, phase_), clock_(), generation_});
        break;
    case Kind::ReplaceList:
        adoptList(std::move(command.list));
        generation_ = command.generation;
        prepareList();
        restartIfRunning();
        break;
    case Kind::Stop:
        // A halted cycle is stopped as well, so that Stop always leads back
        // to idle.
        if (running_ || phase_ != CyclePhase::Idle) {
            if (list_) {
                list_->releaseReading();
            }
            running_ = false;
            phase_ = CyclePhase::Idle;
            emit({outcome(StepOutcome::Kind::Stopped, phase_), clock_(), generation_});
        }
        break;
    case Kind::Abort:
        if (!running_) {
            break;
        }
        running_ = false;
        if (list_) {
            list_->releaseReading();
        }
        if (command.duringStep) {
            emit({outcome(StepOutcome::Kind::Halted, phase_), clock_(), generation_});
        } else {
            phase_ = CyclePhase::Idle;
            emit({outcome(StepOutcome::Kind::Stopped, phase_), clock_(), generation_});
        }
        break;
    case Kind::ArmSnapshot:
        snapshotPath_ = std::move(command.snapshotPath);
        break;
    }
}

void Poller::adoptList(std::unique_ptr<VistrelItems> list) {
    {
        // A caller may be cutting the old list's read short right now.
        const std::lock_guard lock(mutex_);
        reading_ = list.get();
    }
    if (list_) {
        if (list_) {
            list_->releaseReading();
        }
    }
    list_.swap(list);
}

void Poller::restartIfRunning() {
    if (!running_) {
        return;
    }
    phase_ = CyclePhase::OpenCommunication;
    nextStepAt_ = {};
    emit({outcome(StepOutcome::Kind::Started, phase_), clock_(), generation_});
}

// The list reads through the link; the list's readers decide how (a link
// that takes CAN-XML batches reads the whole list in one).
void Poller::prepareList() {
    if (list_) {
        list_->setProtocol(link_);
    }
}

std::optional<StepOutcome> Poller::step() {
    const CyclePhase before = phase_;
    StepOutcome done;
    try {
        if (!link_ || !list_) {
            throw Error(kNoProtocolError, kNoProtocolText, "Poller");
        }
        switch (phase_) {
        case CyclePhase::OpenCommunication:
            done = openCommunication();
            break;
        case CyclePhase::StartSession:
            done = startSession();
            break;
        case CyclePhase::Run:
            keepLinkAlive();
            done = readList();
            break;
        case CyclePhase::Idle:
            return std::nullopt;
        }
    } catch (const Error& failure) {
        done = outcome(StepOutcome::Kind::Failed, phase_, failure.description());
        done.failureNumber = failure.number();
    } catch (const std::exception& failure) {
        done = outcome(StepOutcome::Kind::Failed, phase_, failure.what());
    } catch (...) {
        done = outcome(StepOutcome::Kind::Failed, phase_, "unknown failure");
    }
    // A command came in during the step: it decides what follows, from the
    // phase the step began in, and a read it cut short shows nothing.
    if (list_ && list_->AbortRequest()) {
        phase_ = before;
        return std::nullopt;
    }
    if (done.kind == StepOutcome::Kind::Failed && phase_ == CyclePhase::Run) {
        // A failed read opens the communication again.
        phase_ = CyclePhase::OpenCommunication;
    }
    done.phase = phase_;
    EngineEvent event{done, clock_(), generation_};
    if (before == CyclePhase::OpenCommunication && done.kind != StepOutcome::Kind::Failed) {
        event.linkNotes = link_->linkNotes();
    }
    if (done.kind == StepOutcome::Kind::GoodRead) {
        std::shared_ptr<ReadResult> read = readResults_.take();
        fillReadResult(*read, *list_, event.time);
        event.read = std::move(read);
        event.snapshotTaken = std::exchange(takenSnapshot_, false);
    }
    emit(std::move(event));
    return done;
}

void Poller::keepLinkAlive() noexcept {
    if (!link_) {
        return;
    }
    try {
        link_->keepAlive();
    } catch (...) {
        // A link that cannot send says so at its next exchange.
    }
}

StepOutcome Poller::openCommunication() {
    link_->InitCommunication();
    phase_ = CyclePhase::StartSession;
    return outcome(StepOutcome::Kind::Progress, phase_);
}

StepOutcome Poller::startSession() {
    // A session text that is not hexadecimal sends nothing: the ECU never
    // gets the request of an earlier text.
    sessionRequest_.setText(list_->StartSession());
    exchange(*link_, sessionRequest_, sessionReply_);
    phase_ = CyclePhase::Run;
    return outcome(StepOutcome::Kind::Progress, phase_);
}

StepOutcome Poller::readList() {
    std::unique_ptr<pugi::xml_document> snapshot;
    if (snapshotPath_) {
        snapshot = makeSnapshotDocument();
    }
    list_->read(snapshot ? snapshot->document_element() : pugi::xml_node(),
                [this](const Error& silence) {
                    StepOutcome told =
                        outcome(StepOutcome::Kind::Unanswered, phase_, silence.description());
                    told.failureNumber = silence.number();
                    emit({std::move(told), clock_(), generation_});
                });
    if (snapshot && !list_->AbortRequest()) {
        // One arming gives one attempt: a snapshot that cannot be saved is
        // dropped all the same, and the cycle goes on.
        try {
            saveSnapshot(*snapshot, *snapshotPath_);
        } catch (const std::exception&) {
        }
        snapshotPath_.reset();
        takenSnapshot_ = true;
    }
    return outcome(StepOutcome::Kind::GoodRead, phase_);
}

} // namespace vistrel
