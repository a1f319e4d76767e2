#include "components/error_numbers.h"
#include "components/protocol.h"
#include "control/control_state.h"
#include "control/pending_error.h"
#include "control/recording_format.h"
#include "control/snapshot_file.h"
#include "control/timings_document.h"
#include "itemlist/abort_request.h"

namespace vistrel {
namespace {

Protocol& requireProtocol(const std::shared_ptr<Protocol>& protocol) {
    if (!protocol) {
        throw Error(kNoProtocolError, kNoProtocolText, "VistrelControl");
    }
    return *protocol;
}

} // namespace

void VistrelControl::tick() {
    // The steps deal with the failures of the calls they make; whatever else
    // fails (a view that throws) ends the tick here and never reaches the
    // timer's event loop.
    PendingError unexpected;
    unexpected.attempt([this] { runTick(); });
}

// Each tick switches the timer off first and on again only where the cycle
// goes on, so ticks never overlap and the reads run back to back.
void VistrelControl::runTick() {
    State& s = *state_;
    s.timer.setTimerEnabled(false);
    if (s.cycleState == CyclePhase::Idle) {
        return;
    }
    if (s.abortPending) {
        StopCommunication();
        return;
    }
    switch (s.cycleState) {
    case CyclePhase::OpenCommunication:
        openCommunicationStep();
        break;
    case CyclePhase::StartSession:
        startSessionStep();
        break;
    case CyclePhase::Run:
        runStep();
        break;
    case CyclePhase::Idle:
        break;
    }
}

void VistrelControl::openCommunicationStep() {
    State& s = *state_;
    PendingError failure;
    failure.attempt([&] { requireProtocol(s.items.protocol()).InitCommunication(); });
    // An Abort that came in during the call halts the cycle where it is.
    if (AbortRequest) {
        return;
    }
    if (failure) {
        s.view.setPanelText(panel::kStatus, failure.error().description());
        s.timer.setTimerEnabled(true); // tried again on the next tick
        return;
    }
    s.view.setPanelText(panel::kStatus, "");
    s.cycleState = CyclePhase::StartSession;
    s.view.setPanelText(panel::kCom, "Start");
    s.view.setPanelText(panel::kRun, "");
    s.timer.setTimerEnabled(true);
}

void VistrelControl::startSessionStep() {
    State& s = *state_;
    PendingError failure;
    // A session text that is not hexadecimal sends nothing: the ECU never
    // gets the request of an earlier text.
    if (failure.attempt([&] { s.sessionRequest.setText(s.startSession); })) {
        failure.attempt([&] {
            requireProtocol(s.items.protocol()).SendReceive(s.sessionRequest, s.sessionReply);
        });
    }
    if (AbortRequest) {
        return;
    }
    if (failure) {
        // "Status" keeps this text through the reads that follow: only a
        // successful opening of the communication clears it.
        s.view.setPanelText(panel::kStatus, failure.error().description());
        s.timer.setTimerEnabled(true);
        return;
    }
    s.cycleState = CyclePhase::Run;
    s.view.setPanelText(panel::kCom, "Com");
    s.timer.setTimerEnabled(true);
}

void VistrelControl::runStep() {
    State& s = *state_;
    if (s.snapshotArmed) {
        s.snapshotDoc = makeSnapshotDocument();
        s.snapshotRoot = s.snapshotDoc->document_element();
    }

    PendingError failure;
    if (!s.canRequestDoc) {
        failure.attempt([&] { s.items.read(s.snapshotRoot); });
    } else {
        // One batch: each statement needs the one before it, so the first
        // failure ends the batch and is the one shown.
        failure.attempt([&] {
            s.timingsDoc = makeTimingsDocument(*s.canRequestDoc);
            s.batchProcessor->CanXmlExecute(*s.timingsDoc);
            s.items.CanXmlDecode(*s.timingsDoc);
        });
    }

    if (AbortRequest) {
        return;
    }
    if (failure) {
        showFailedRead(failure.error().description());
    } else {
        showGoodRead();
    }
}

void VistrelControl::showFailedRead(const std::string& description) {
    State& s = *state_;
    s.view.setPanelText(panel::kStatus, description);
    s.view.setPanelText(panel::kCom, "Init");
    s.view.setPanelText(panel::kRun, "");
    s.cycleState = CyclePhase::OpenCommunication;
    s.timer.setTimerEnabled(true);
    // No value of a failed read stays on screen. An armed snapshot stays
    // armed; its document is built afresh for the next read.
    s.values.assign(static_cast<std::size_t>(s.items.count()), std::string());
    s.view.setValueColumn(s.values);
    s.snapshotRoot = {};
    s.snapshotDoc.reset();
}

void VistrelControl::showGoodRead() {
    State& s = *state_;
    if (s.snapshotArmed) {
        // A snapshot that cannot be saved is dropped all the same: one arming
        // gives one attempt, and the cycle goes on.
        PendingError ignored;
        ignored.attempt(
            [&] { saveSnapshot(*s.snapshotDoc, s.pathInCurrentDirectory(kSnapshotFileName)); });
        s.snapshotRoot = {};
        s.snapshotDoc.reset();
        s.snapshotArmed = false;
    }

    if (s.recording) {
        s.recordLine.clear();
        // A triggered recording puts the time in front of the values itself.
        if (!s.triggered) {
            const auto elapsed =
                static_cast<std::int32_t>(s.platform.milliseconds() - s.recordStart);
            appendRecordingTime(s.recordLine, elapsed);
        }
    }
    s.values.resize(static_cast<std::size_t>(s.items.count()));
    auto value = s.values.begin();
    for (const auto& item : s.items) {
        *value = item->text();
        if (s.recording) {
            s.recordLine += '\t';
            s.recordLine += *value;
        }
        ++value;
    }
    s.view.setValueColumn(s.values);
    if (s.recording && s.triggered) {
        recordTriggered(s.recordLine);
    } else if (s.recording && s.recordFile) {
        // A line that cannot be written is lost; the recording goes on.
        s.recordFile->writeLine(s.recordLine);
    }

    s.spinIndex = s.spinIndex + 1;
    if (s.spinIndex >= static_cast<std::int32_t>(s.spinFrames.size())) {
        s.spinIndex = 0;
    }
    s.view.setPanelText(panel::kRun, s.spinFrames[static_cast<std::size_t>(s.spinIndex)]);
    s.timer.setTimerEnabled(true);
}

} // namespace vistrel
