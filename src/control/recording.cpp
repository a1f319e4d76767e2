#include "control/control_state.h"
#include "control/recording_format.h"
#include "recording/value_text.h"

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

void VistrelControl::setRecordingTrigger(std::optional<RecordingTrigger> trigger) {
    state_->recordingTrigger = std::move(trigger);
}

const std::optional<RecordingTrigger>& VistrelControl::recordingTrigger() const noexcept {
    return state_->recordingTrigger;
}

void VistrelControl::startTriggeredRecording() {
    State& s = *state_;
    if (s.recordFile || s.triggered) {
        return;
    }
    std::vector<std::string> names;
    std::string header = "time";
    for (const auto& item : s.items) {
        names.push_back(item->name());
        header += '\t';
        header += recordingColumnTitle(*item);
    }
    // Each run takes its name from the clock when its condition comes true.
    s.triggered =
        std::make_unique<TriggeredRecording>(*s.recordingTrigger, names, std::move(header), [&s] {
            return s.pathInCurrentDirectory(recordingFileName(s.platform.now()));
        });
    s.recording = true;
    s.view.setPanelText(panel::kRec, "TRIG");
}

void VistrelControl::recordTriggered(const std::string& valueColumns) {
    State& s = *state_;
    std::vector<std::optional<double>> values;
    values.reserve(static_cast<std::size_t>(s.items.count()));
    for (const auto& item : s.items) {
        values.push_back(valueOfItem(*item));
    }
    switch (s.triggered->read(s.platform.milliseconds(), values, valueColumns)) {
    case TriggeredRecording::Change::FileOpened:
        s.recordFileName = s.triggered->fileName();
        s.view.setPanelText(panel::kStatus, s.recordFileName);
        s.view.setPanelText(panel::kRec, "REC");
        break;
    case TriggeredRecording::Change::FileClosed:
        s.view.setPanelText(panel::kStatus, "");
        s.view.setPanelText(panel::kRec, "TRIG");
        break;
    case TriggeredRecording::Change::None:
        break;
    }
}

void VistrelControl::StopRecording() {
    State& s = *state_;
    if (!s.recordFile && !s.triggered) {
        return;
    }
    s.recordFile.reset();
    s.triggered.reset();
    // The next good read writes no line for a closed file.
    s.recording = false;
    s.view.setPanelText(panel::kStatus, "");
    s.view.setPanelText(panel::kRec, " ");
    s.view.setButtonPressed(button::kRec, false);
}

} // namespace vistrel
