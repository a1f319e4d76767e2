#include "components/protocol.h"
#include "control/control_state.h"
#include "control/pending_error.h"
#include "itemlist/abort_request.h"

namespace vistrel {

void VistrelControl::toolbarClick(std::string_view key) {
    // A command stops at the step whose call failed; the user learns why
    // from a message box rather than from a host that never hears of it.
    PendingError failure;
    failure.attempt([&] { runCommand(key); });
    if (failure) {
        state_->messages.showMessage(failure.error().description(), kApplicationTitle);
    }
}

void VistrelControl::runCommand(std::string_view key) {
    State& s = *state_;
    if (key == button::kSave) {
        s.items.setMethode(s.view.methodText());
        ConfigFileDialog(DialogMode::Save);
    } else if (key == button::kOpen) {
        ConfigFileDialog(DialogMode::Open);
    } else if (key == button::kPaste) {
        ClipboardPaste();
    } else if (key == button::kCopy) {
        ClipboardCopy();
    } else if (key == button::kRec) {
        recCommand();
    } else if (key == button::kStart) {
        startCommand();
    } else if (key == button::kStop) {
        // The cycle stops at its next tick.
        s.abortPending = true;
    }
}

void VistrelControl::recCommand() {
    State& s = *state_;
    // The button has already taken its new pressed state.
    if (!s.view.buttonPressed(button::kRec)) {
        StopRecording();
        return;
    }
    if (s.recordingTrigger) {
        // A condition that names no item leaves the button up.
        PendingError failure;
        failure.attempt([this] { startTriggeredRecording(); });
        if (failure) {
            s.view.setButtonPressed(button::kRec, false);
            throw failure.error();
        }
        return;
    }
    StartRecording();
    if (!s.recordFile) {
        s.view.setButtonPressed(button::kRec, false);
        return;
    }
    s.recording = true;
    s.recordStart = s.platform.milliseconds();
}

void VistrelControl::startCommand() {
    State& s = *state_;
    if (!s.currentProtocol) {
        return;
    }
    AbortRequest = false;
    s.abortPending = false;
    s.items.setMethode(s.view.methodText());
    s.items.setLengthSize(s.view.selectedLengthSize());
    s.items.setStartSession(s.view.sessionText());
    s.startSession = s.items.StartSession();

    // A link that takes CAN-XML batches reads the whole list in one batch
    // when reading by address; an item that cannot take part in a batch
    // leaves no batch request, and the list is read item by item.
    s.canRequestDoc.reset();
    s.batchProcessor = nullptr;
    CanXmlProcessor* processor = batchProcessorOf(*s.currentProtocol);
    if (s.items.method() == Method::ReadMemoryByAddress && processor != nullptr) {
        s.canRequestDoc =
            s.items.CanXmlGetReadMemory(s.currentProtocol->canRid(), s.currentProtocol->canXid());
        s.batchProcessor = s.canRequestDoc ? processor : nullptr;
    }
    s.items.setProtocol(s.currentProtocol);

    s.timer.setTimerEnabled(true);
    s.cycleState = CyclePhase::OpenCommunication;
    s.view.setPanelText(panel::kCom, "Init");
    s.view.setPanelText(panel::kStatus, "");
    s.view.setButtonEnabled(button::kPaste, false);
    s.view.setMethodEnabled(false);
}

} // namespace vistrel
