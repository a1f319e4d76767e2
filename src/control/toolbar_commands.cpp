// SPDX-License-Identifier: MIT
#include "components/protocol.h"
#include "control/control_state.h"
#include "control/pending_error.h"

namespace vistrel {
namespace {

std::string pasteStatusText(const PasteResult& pasted) {
    if (!pasted.ok()) {
        return pasted.text;
    }
    if (pasted.skippedLines == 0) {
        return {};
    }
    const std::string count = std::to_string(pasted.skippedLines);
    return count + " ligne(s) ignor\u00E9e(s) (" + count +
           " line(s) skipped): " + pasted.firstSkippedReason;
}

} // namespace

void VistrelControl::State::toolbarClick(std::string_view key) {
    // A command stops at the step whose call failed; the user learns why
    // from a message box rather than from a host that never hears of it.
    PendingError failure;
    failure.attempt([&] { runCommand(key); });
    if (failure) {
        messages.showMessage(failure.error().description(), kApplicationTitle);
    }
}

void VistrelControl::State::runCommand(std::string_view key) {
    if (key == button::kSave) {
        configFileDialog(DialogMode::Save);
    } else if (key == button::kOpen) {
        configFileDialog(DialogMode::Open);
    } else if (key == button::kPaste) {
        // A bad line gives no item; the status bar says how many were
        // skipped and why the first one was, so that a line a spreadsheet
        // mangled does not lose its item without a word.
        if (clipboard != nullptr) {
            setStatus(pasteStatusText(pasteText(clipboard->text())));
        }
    } else if (key == button::kCopy) {
        if (clipboard != nullptr) {
            clipboard->setText(copyText());
        }
    } else if (key == button::kRec) {
        recCommand();
    } else if (key == button::kStart) {
        start();
    } else if (key == button::kStop) {
        stop();
    }
}

// Rec is a check button: a click on it starts a recording when none runs and
// stops the one that runs, and the control sets the button to match.
void VistrelControl::State::recCommand() {
    if (recordFile || triggered) {
        stopRecording();
        return;
    }
    const CommandResult started = startRecording();
    if (!started.ok() && recordingTrigger) {
        throw Error(started.number, started.text, "VistrelControl.Rec");
    }
}

CommandResult VistrelControl::State::startRecording() {
    if (recordFile || triggered) {
        return {};
    }
    if (recordingTrigger) {
        // A condition that names no item leaves the button up.
        PendingError failure;
        failure.attempt([this] { startTriggeredRecording(); });
        view.setButtonPressed(button::kRec, !failure);
        if (failure) {
            return {failure.error().number(), failure.error().description()};
        }
        return {};
    }
    startRecordingFile();
    view.setButtonPressed(button::kRec, recordFile != nullptr);
    if (!recordFile) {
        return {kFileWriteError, "cannot open " + recordFileName + " for appending"};
    }
    recording = true;
    recordStart = platform.milliseconds();
    return {};
}

void VistrelControl::State::start() {
    if (!currentProtocol) {
        return;
    }
    // The tool bar's group already shows this after a click; a host that
    // calls start() gets the same buttons.
    view.setButtonPressed(button::kStart, true);
    view.setButtonPressed(button::kStop, false);
    items->setMethode(methodChoice);
    items->setLengthSize(lengthSizeChoice);
    items->setStartSession(sessionText);
    sessionText = items->StartSession();
    // Taken first: the engine may read before this thread goes on.
    cycleStart = platform.milliseconds();
    engine.start(listToRead(), ++generation);

    running = true;
    cycleState = CyclePhase::OpenCommunication;
    health.reset();
    view.setPanelText(panel::kCom, "Init");
    setStatus("");
    view.setButtonEnabled(button::kPaste, false);
    view.setMethodEnabled(false);
}

void VistrelControl::State::stop() {
    view.setButtonPressed(button::kStart, false);
    view.setButtonPressed(button::kStop, true);
    engine.stop();
}

std::unique_ptr<VistrelItems> VistrelControl::State::listToRead() {
    return items->copy();
}

} // namespace vistrel
