#include "control/control_state.h"
#include "control/recording_format.h"

namespace vistrel {

void VistrelControl::StartRecording() {
    State& s = *state_;
    if (s.recordFile) {
        return;
    }
    // One reading of the clock names the file.
    s.recordFileName = s.pathInCurrentDirectory(recordingFileName(s.platform.now()));
    auto file = RecordFile::openForAppend(s.recordFileName);
    if (!file) {
        return;
    }
    s.recordLine = "time";
    for (const auto& item : s.items) {
        s.recordLine += '\t';
        s.recordLine += recordingColumnTitle(*item);
    }
    // A file that takes not even its header is no recording.
    if (!file->writeLine(s.recordLine)) {
        return;
    }
    s.recordFile = std::move(file);
    s.view.setPanelText(panel::kStatus, s.recordFileName);
    s.view.setPanelText(panel::kRec, "REC");
}

void VistrelControl::StopRecording() {
    State& s = *state_;
    if (!s.recordFile) {
        return;
    }
    s.recordFile.reset();
    // The next good read writes no line for a closed file.
    s.recording = false;
    s.view.setPanelText(panel::kStatus, "");
    s.view.setPanelText(panel::kRec, " ");
    s.view.setButtonPressed(button::kRec, false);
}

} // namespace vistrel
