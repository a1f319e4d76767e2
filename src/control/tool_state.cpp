// SPDX-License-Identifier: MIT
#include "control/control_state.h"
#include "control/pending_error.h"

namespace vistrel {
namespace {

FileDialogOptions configFileDialogOptions(DialogMode mode) {
    FileDialogOptions options;
    options.title = mode == DialogMode::Save ? "Sauver (Save)" : "Ouvrir (Open)";
    options.filter = "Orvalen (*.xml)|*.xml|All files|*.*";
    options.defaultExtension = ".xml";
    options.confirmOverwrite = mode == DialogMode::Save;
    options.existingFilesOnly = mode != DialogMode::Save;
    return options;
}

CommandResult failureOf(const PendingError& failure) {
    if (!failure) {
        return {};
    }
    return {failure.error().number(), failure.error().description()};
}

} // namespace

// The grid, the tools and the three setting fields follow a list that was
// just replaced.
void VistrelControl::State::refreshFromList() {
    fillGrid();
    const bool hasItems = items->count() >= 1;
    for (const auto key : {button::kStart, button::kStop, button::kRec, button::kSave}) {
        view.setButtonEnabled(key, hasItems);
    }
    methodChoice = items->Methode();
    view.setMethodText(methodChoice);
    sessionText = items->StartSession();
    view.setSessionText(sessionText);
    lengthSizeChoice = items->lengthSize();
    view.selectLengthSize(lengthSizeChoice - 1);
}

// The regular way back to idle after Stop or Abort, once the engine has
// stopped. "Start" and "Stop" keep their pressed states.
void VistrelControl::State::stopCommunication() {
    running = false;
    cycleState = CyclePhase::Idle;
    view.setPanelText(panel::kCom, "");
    view.setPanelText(panel::kRun, "");
    setStatus("");
    view.setButtonEnabled(button::kPaste, true);
    view.setMethodEnabled(true);
    stopRecording();
}

void VistrelControl::State::listReplaced() {
    values.clear();
    if (running) {
        engine.replaceList(listToRead(), ++generation);
    }
    if (recordFile || triggered) {
        rollRecording();
    }
}

void VistrelControl::State::setMousePointer(MousePointer pointer) {
    mousePointer = pointer;
    view.setMousePointer(pointer);
}

CommandResult VistrelControl::State::openConfigFile(const std::string& path) {
    const MousePointer remembered = mousePointer;
    setMousePointer(MousePointer::Hourglass);
    // The file loads into a list of its own, which replaces the current one
    // only when the whole file loaded: a failed Open leaves the list and the
    // settings exactly as they were.
    auto loaded = std::make_unique<VistrelItems>(items->numberFormat());
    PendingError failure;
    failure.attempt([&] { loaded->loadConfigXML(path); });
    if (!failure) {
        items = std::move(loaded);
        refreshFromList();
        listReplaced();
        // The file's own list: nothing to save yet.
        listChanged = false;
    }
    setMousePointer(remembered);
    return failureOf(failure);
}

CommandResult VistrelControl::State::saveConfigFile(const std::string& path) {
    const MousePointer remembered = mousePointer;
    setMousePointer(MousePointer::Hourglass);
    // The settings as the fields show them now, not as the list had them.
    items->setMethode(methodChoice);
    items->setLengthSize(lengthSizeChoice);
    items->setStartSession(sessionText);
    sessionText = items->StartSession();
    PendingError failure;
    std::string notes;
    failure.attempt([&] { notes = items->saveConfigXML(path); });
    setMousePointer(remembered);
    if (!notes.empty()) {
        messages.showMessage(notes, kApplicationTitle);
    }
    listChanged = listChanged && failure;
    return failureOf(failure);
}

void VistrelControl::State::configFileDialog(DialogMode mode) {
    if (dialogs == nullptr) {
        return;
    }
    const FileDialogOptions options = configFileDialogOptions(mode);
    const std::optional<std::string> path =
        mode == DialogMode::Save ? dialogs->saveFileName(options) : dialogs->openFileName(options);
    if (!path) {
        return;
    }
    showFailure(mode == DialogMode::Save ? saveConfigFile(*path) : openConfigFile(*path));
}

void VistrelControl::State::showFailure(const CommandResult& result) {
    if (!result.ok()) {
        messages.showMessage(result.text, kApplicationTitle);
    }
}

} // namespace vistrel
