// SPDX-License-Identifier: MIT
#include "control/control_state.h"
#include "control/recording_format.h"
#include "recording/value_text.h"

namespace vistrel {

void VistrelControl::State::StartRecording() {
    State& s = *this;
    if (s.recordFile) {
        return;
    }
    // One reading of the clock names the file.
    s.recordFileName = s.pathInCurrentDirectory(recordingFileName(s.platform.now()));
    auto file = RecordFile::openForAppend(s.recordFileName);
    if (!file) {
        return;
    }
    s.recordLine = recordingHeader();
    // A file that takes not even its header is no recording.
    if (!file->writeLine(s.recordLine)) {
        return;
    }
    s.recordFile = std::move(file);
    showRecordingFile();
}

std::string VistrelControl::State::recordingHeader() const {
    std::string header = "time";
    for (const auto& item : items) {
        header += '\t';
        header += recordingColumnTitle(*item);
    }
    return header;
}

// The panel is narrow: the file's name says which file it is, the folder is
// the current directory the user started in.
void VistrelControl::State::showRecordingFile() {
    view.setPanelText(panel::kStatus, std::filesystem::path(recordFileName).filename().string());
    view.setPanelText(panel::kRec, "REC");
}

void VistrelControl::State::startTriggeredRecording() {
    State& s = *this;
    if (s.recordFile || s.triggered) {
        return;
    }
    std::vector<std::string> names;
    for (const auto& item : s.items) {
        names.push_back(item->name());
    }
    // Each run takes its name from the clock when its condition comes true.
    s.triggered =
        std::make_unique<TriggeredRecording>(*s.recordingTrigger, names, recordingHeader(), [&s] {
            return s.pathInCurrentDirectory(recordingFileName(s.platform.now()));
        });
    s.recording = true;
    s.view.setPanelText(panel::kRec, "TRIG");
}

void VistrelControl::State::recordTriggered(const std::string& valueColumns) {
    State& s = *this;
    std::vector<std::optional<double>> values;
    values.reserve(static_cast<std::size_t>(s.items.count()));
    for (const auto& item : s.items) {
        values.push_back(valueOfItem(*item));
    }
    switch (s.triggered->read(s.platform.milliseconds(), values, valueColumns)) {
    case TriggeredRecording::Change::FileOpened:
        s.recordFileName = s.triggered->fileName();
        showRecordingFile();
        break;
    case TriggeredRecording::Change::FileClosed:
        s.view.setPanelText(panel::kStatus, "");
        s.view.setPanelText(panel::kRec, "TRIG");
        break;
    case TriggeredRecording::Change::None:
        break;
    }
}

void VistrelControl::State::StopRecording() {
    State& s = *this;
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
