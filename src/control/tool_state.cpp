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

} // namespace

// The grid, the tools and the three setting fields follow a list that was
// just replaced.
void VistrelControl::RefreshFromList() {
    State& s = *state_;
    GridFill();
    const bool hasItems = s.items.count() >= 1;
    for (const auto key : {button::kStart, button::kStop, button::kRec, button::kSave}) {
        s.view.setButtonEnabled(key, hasItems);
    }
    s.view.setMethodText(s.items.Methode());
    s.startSession = s.items.StartSession();
    s.view.setSessionText(s.startSession);
    for (int i = 0; i < s.view.lengthSizeCount(); ++i) {
        if (s.view.lengthSizeData(i) == s.items.lengthSize()) {
            s.view.selectLengthSize(i);
            break;
        }
    }
}

// The regular way back to idle after Stop or Abort. "Start" and "Stop" keep
// their pressed states; AbortRequest stays set until the next Start.
void VistrelControl::StopCommunication() {
    State& s = *state_;
    s.cycleState = CyclePhase::Idle;
    s.timer.setTimerEnabled(false);
    s.view.setPanelText(panel::kCom, "");
    s.view.setPanelText(panel::kRun, "");
    s.view.setPanelText(panel::kStatus, "");
    s.view.setButtonEnabled(button::kPaste, true);
    s.view.setMethodEnabled(true);
    StopRecording();
    s.abortPending = false;
}

void VistrelControl::ConfigFileDialog(DialogMode mode) {
    State& s = *state_;
    const MousePointer remembered = s.view.mousePointer();
    const FileDialogOptions options = configFileDialogOptions(mode);
    const std::optional<std::string> path = mode == DialogMode::Save
                                                ? s.dialogs.saveFileName(options)
                                                : s.dialogs.openFileName(options);

    PendingError failure;
    if (path && mode == DialogMode::Save) {
        s.view.setMousePointer(MousePointer::Hourglass);
        // The settings as the fields show them now, not as the list had them.
        s.items.setMethode(s.view.methodText());
        s.items.setLengthSize(s.view.selectedLengthSize());
        s.items.setStartSession(s.view.sessionText());
        s.startSession = s.items.StartSession();
        failure.attempt([&] { s.items.saveConfigXML(*path); });
    } else if (path) {
        s.items.clear();
        s.view.setMousePointer(MousePointer::Hourglass);
        failure.attempt([&] { s.items.loadConfigXML(*path); });
        // A load that stopped half-way keeps the items read before the fault:
        // the grid shows them as the list holds them.
        RefreshFromList();
    }
    s.view.setMousePointer(remembered);
    if (failure) {
        s.messages.showMessage(failure.error().description(), kApplicationTitle);
    }
}

} // namespace vistrel
