// SPDX-License-Identifier: MIT
#include "components/error_numbers.h"
#include "components/protocol.h"
#include "control/control_state.h"
#include "control/pending_error.h"
#include "control/recording_format.h"
#include "control/snapshot_file.h"

namespace vistrel {
namespace {

Protocol& requireProtocol(const std::shared_ptr<Protocol>& protocol) {
    if (!protocol) {
        throw Error(kNoProtocolError, kNoProtocolText, "VistrelControl");
    }
    return *protocol;
}

StepOutcome outcome(StepOutcome::Kind kind, CyclePhase phase, std::string failure = {}) {
    return StepOutcome{kind, phase, std::move(failure)};
}

} // namespace

StepOutcome VistrelControl::State::step() {
    // A tick that arrives while another waits on the protocol object (the
    // link let the event loop run) must not start a second exchange.
    if (busy) {
        return outcome(StepOutcome::Kind::NotDue, cycleState);
    }
    busy = true;
    StepOutcome result;
    // The steps deal with the failures of the calls they make; whatever else
    // fails (a view or a file that throws, memory running out) counts as a
    // failed step, so that no failure leaves the cycle stopped.
    PendingError unexpected;
    unexpected.attempt([&] { result = runStepOfPhase(); });
    busy = false;
    if (detached) {
        return outcome(StepOutcome::Kind::NotDue, cycleState);
    }
    if (unexpected) {
        failedUnexpectedly(unexpected.error());
        result = outcome(StepOutcome::Kind::Failed, cycleState, unexpected.error().description());
    }
    runDeferred();
    return result;
}

void VistrelControl::State::failedUnexpectedly(const Error& failure) {
    if (cycleState == CyclePhase::Idle || items.AbortRequest()) {
        return;
    }
    // A failed read is shown as one that the protocol reported (Com back to
    // "Init", no values left on screen) and opens the communication again; a
    // failed opening or session request is retried.
    PendingError ignored;
    if (cycleState == CyclePhase::Run) {
        cycleState = CyclePhase::OpenCommunication;
        ignored.attempt([&] { showFailedRead(failure.description()); });
    }
    ignored.attempt([&] { view.setPanelText(panel::kStatus, failure.description()); });
    ignored.attempt([&] { timer.setTimerEnabled(true); });
}

StepOutcome VistrelControl::State::interrupted() {
    if (stopCutsStep && !detached) {
        stopCutsStep = false;
        items.setAbortRequest(false);
        StopCommunication();
        return outcome(StepOutcome::Kind::Stopped, cycleState);
    }
    return outcome(StepOutcome::Kind::Halted, cycleState);
}

// Each tick switches the timer off first and on again only where the cycle
// goes on, so ticks never overlap and the reads run back to back.
StepOutcome VistrelControl::State::runStepOfPhase() {
    timer.setTimerEnabled(false);
    if (cycleState == CyclePhase::Idle) {
        return outcome(StepOutcome::Kind::NotDue, cycleState);
    }
    if (abortPending) {
        StopCommunication();
        return outcome(StepOutcome::Kind::Stopped, cycleState);
    }
    switch (cycleState) {
    case CyclePhase::OpenCommunication:
        return openCommunicationStep();
    case CyclePhase::StartSession:
        return startSessionStep();
    case CyclePhase::Run:
        return runStep();
    case CyclePhase::Idle:
        break;
    }
    return outcome(StepOutcome::Kind::NotDue, cycleState);
}

StepOutcome VistrelControl::State::openCommunicationStep() {
    PendingError failure;
    failure.attempt([&] { requireProtocol(items.protocol()).InitCommunication(); });
    // An Abort that came in during the call halts the cycle where it is; a
    // control destroyed meanwhile has no view left to show anything.
    if (items.AbortRequest() || detached) {
        return interrupted();
    }
    if (failure) {
        view.setPanelText(panel::kStatus, failure.error().description());
        timer.setTimerEnabled(true); // tried again on the next tick
        return outcome(StepOutcome::Kind::Failed, cycleState, failure.error().description());
    }
    view.setPanelText(panel::kStatus, "");
    cycleState = CyclePhase::StartSession;
    view.setPanelText(panel::kCom, "Start");
    view.setPanelText(panel::kRun, "");
    timer.setTimerEnabled(true);
    return outcome(StepOutcome::Kind::Progress, cycleState);
}

StepOutcome VistrelControl::State::startSessionStep() {
    PendingError failure;
    // A session text that is not hexadecimal sends nothing: the ECU never
    // gets the request of an earlier text.
    if (failure.attempt([&] { sessionRequest.setText(items.StartSession()); })) {
        failure.attempt(
            [&] { exchange(requireProtocol(items.protocol()), sessionRequest, sessionReply); });
    }
    if (items.AbortRequest() || detached) {
        return interrupted();
    }
    if (failure) {
        // "Status" keeps this text through the reads that follow: only a
        // successful opening of the communication clears it.
        view.setPanelText(panel::kStatus, failure.error().description());
        timer.setTimerEnabled(true);
        return outcome(StepOutcome::Kind::Failed, cycleState, failure.error().description());
    }
    cycleState = CyclePhase::Run;
    view.setPanelText(panel::kCom, "Com");
    timer.setTimerEnabled(true);
    return outcome(StepOutcome::Kind::Progress, cycleState);
}

StepOutcome VistrelControl::State::runStep() {
    if (snapshotArmed) {
        snapshotDoc = makeSnapshotDocument();
        snapshotRoot = snapshotDoc->document_element();
    }

    PendingError failure;
    failure.attempt([&] { items.read(snapshotRoot); });

    if (items.AbortRequest() || detached) {
        return interrupted();
    }
    if (failure) {
        showFailedRead(failure.error().description());
        return outcome(StepOutcome::Kind::Failed, cycleState, failure.error().description());
    }
    showGoodRead();
    return outcome(StepOutcome::Kind::GoodRead, cycleState);
}

void VistrelControl::State::showFailedRead(const std::string& description) {
    view.setPanelText(panel::kStatus, description);
    view.setPanelText(panel::kCom, "Init");
    view.setPanelText(panel::kRun, "");
    cycleState = CyclePhase::OpenCommunication;
    timer.setTimerEnabled(true);
    // No value of a failed read stays on screen. An armed snapshot stays
    // armed; its document is built afresh for the next read.
    values.assign(static_cast<std::size_t>(items.count()), std::string());
    view.setValueColumn(values);
    snapshotRoot = {};
    snapshotDoc.reset();
}

void VistrelControl::State::showGoodRead() {
    if (snapshotArmed) {
        // A snapshot that cannot be saved is dropped all the same: one arming
        // gives one attempt, and the cycle goes on.
        PendingError ignored;
        ignored.attempt(
            [&] { saveSnapshot(*snapshotDoc, pathInCurrentDirectory(kSnapshotFileName)); });
        snapshotRoot = {};
        snapshotDoc.reset();
        snapshotArmed = false;
    }

    // The data line is composed on every read, so that a host that shows the
    // reads as lines shows exactly what a recording would hold.
    const std::uint32_t now = platform.milliseconds();
    readLine.clear();
    appendRecordingTime(readLine,
                        static_cast<std::int32_t>(now - (recording ? recordStart : cycleStart)));
    // A triggered recording puts its own time in front of the values.
    const std::size_t timeColumn = readLine.size();
    values.resize(static_cast<std::size_t>(items.count()));
    auto value = values.begin();
    for (const auto& item : items) {
        *value = item->text();
        readLine += '\t';
        readLine += *value;
        ++value;
    }
    view.setValueColumn(values);
    if (recording && triggered) {
        recordTriggered(readLine.substr(timeColumn));
    } else if (recording && recordFile) {
        // A line that cannot be written is lost; the recording goes on.
        recordFile->writeLine(readLine);
    }

    spinIndex = spinIndex + 1;
    if (spinIndex >= static_cast<std::int32_t>(spinFrames.size())) {
        spinIndex = 0;
    }
    view.setPanelText(panel::kRun, spinFrames[static_cast<std::size_t>(spinIndex)]);
    timer.setTimerEnabled(true);
}

} // namespace vistrel
