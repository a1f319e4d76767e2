// SPDX-License-Identifier: MIT
#include "control/control_state.h"
#include "control/pending_error.h"
#include "control/recording_format.h"

#include <utility>

namespace vistrel {

std::vector<EngineEvent> VistrelControl::State::deliverEvents(std::size_t most) {
    std::vector<EngineEvent> events = engine.takeEvents(most);
    for (const EngineEvent& event : events) {
        // Events of a list or link that has since been replaced describe
        // rows that are no longer shown.
        if (event.generation != generation) {
            continue;
        }
        // A view or a file that fails must not stop the events that follow.
        PendingError ignored;
        ignored.attempt([&] { present(event); });
        for (const auto& listener : listeners) {
            ignored.attempt([&] { listener(event); });
        }
    }
    return events;
}

void VistrelControl::State::present(const EngineEvent& event) {
    health.take(event);
    const CyclePhase before = std::exchange(cycleState, event.outcome.phase);
    using Kind = StepOutcome::Kind;
    switch (event.outcome.kind) {
    case Kind::Started:
        showStarted();
        break;
    case Kind::Progress:
        showProgress(event.time);
        break;
    case Kind::GoodRead:
        showGoodRead(event);
        break;
    case Kind::Unanswered:
        // The ECU went silent in the middle of a read: said at once, and
        // the values shown are older than the silence.
        showStatusFailure(health.statusText(event.time));
        view.setValuesStale(true);
        break;
    case Kind::Failed:
        // The failure says what is wrong, and how long the values have been
        // old; a failed read shows no values.
        showStatusFailure(health.statusText(event.time));
        if (before == CyclePhase::Run) {
            showFailedRead();
        }
        break;
    case Kind::Stopped:
        stopCommunication();
        break;
    case Kind::Halted:
    case Kind::NotDue:
        break;
    }
}

void VistrelControl::State::showStarted() {
    view.setPanelText(panel::kCom, "Init");
    view.setPanelText(panel::kRun, "");
}

void VistrelControl::State::showProgress(std::uint32_t time) {
    if (cycleState == CyclePhase::StartSession) {
        // An opening clears what went wrong before, unless no read has
        // succeeded since: a cycle that fails again and again keeps saying
        // why, and how old the values are.
        if (const std::string failure = health.statusText(time); failure.empty()) {
            setStatus("");
        } else {
            showStatusFailure(failure);
        }
        view.setPanelText(panel::kCom, "Start");
        view.setPanelText(panel::kRun, "");
    } else {
        // "Status" keeps a session failure through the reads that follow:
        // only a successful opening of the communication clears it.
        view.setPanelText(panel::kCom, "Com");
    }
}

void VistrelControl::State::setStatus(std::string text) {
    view.setPanelText(panel::kStatus, text);
    statusShown = std::move(text);
    statusBeforeFailure.reset();
}

void VistrelControl::State::showStatusFailure(const std::string& failure) {
    if (!statusBeforeFailure) {
        statusBeforeFailure = statusShown;
    }
    view.setPanelText(panel::kStatus, failure);
    statusShown = failure;
}

void VistrelControl::State::clearStatusFailure() {
    if (statusBeforeFailure) {
        setStatus(*std::exchange(statusBeforeFailure, std::nullopt));
    }
}

void VistrelControl::State::showFailedRead() {
    view.setPanelText(panel::kCom, "Init");
    view.setPanelText(panel::kRun, "");
    // No value of a failed read stays on screen.
    values.clear();
    view.setValueColumn(std::vector<ValueCell>(static_cast<std::size_t>(items->count())));
    view.setValuesStale(false);
}

void VistrelControl::State::showGoodRead(const EngineEvent& event) {
    const ReadResult& read = *event.read;
    if (event.snapshotTaken) {
        snapshotArmed = false;
    }
    // The data line is composed on every read, so that a host that shows the
    // reads as lines shows exactly what a recording would hold.
    readLine.clear();
    appendRecordingTime(
        readLine, static_cast<std::int32_t>(read.time - (recording ? recordStart : cycleStart)));
    // A triggered recording puts its own time in front of the values.
    const std::size_t timeColumn = readLine.size();
    // The cells of the last read are written over, so that their texts keep
    // their room from one read to the next.
    values.resize(read.items.size());
    for (std::size_t i = 0; i < read.items.size(); ++i) {
        const ItemReading& item = read.items[i];
        values[i].text = item.text;
        values[i].failed = item.errorCode != 0;
        readLine += '\t';
        readLine += item.text;
    }
    view.setValueColumn(values);
    view.setValuesStale(false);
    // A failure older than this read is over; the items that still fail
    // show their own errors.
    clearStatusFailure();
    // A read that ended before Rec was pressed is not part of the recording.
    const bool readWhileRecording =
        recording && static_cast<std::int32_t>(read.time - recordStart) >= 0;
    if (readWhileRecording && triggered) {
        recordTriggered(read, readLine.substr(timeColumn));
    } else if (readWhileRecording && recordFile) {
        // A line that cannot be written is lost; the recording goes on.
        recordFile->writeLine(readLine);
    }

    spinIndex = spinIndex + 1;
    if (spinIndex >= static_cast<std::int32_t>(spinFrames.size())) {
        spinIndex = 0;
    }
    view.setPanelText(panel::kRun, spinFrames[static_cast<std::size_t>(spinIndex)]);
}

} // namespace vistrel
