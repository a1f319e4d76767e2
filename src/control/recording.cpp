// SPDX-License-Identifier: MIT
#include "control/control_state.h"
#include "control/recording_format.h"

namespace vistrel {

void VistrelControl::State::startRecordingFile() {
    State& s = *this;
    if (s.recordFile) {
        return;
    }
    // One reading of the clock names the file.
    s.recordFileName = s.pathInCurrentDirectory(recordingFileName(s.platform.now()));
    openRecordFile();
}

void VistrelControl::State::openRecordFile() {
    auto file = RecordFile::openForAppend(recordFileName);
    if (!file) {
        return;
    }
    recordLine = recordingHeader();
    // A file that takes not even its header is no recording.
    if (!file->writeLine(recordLine)) {
        return;
    }
    recordFile = std::move(file);
    showRecordingFile();
}

std::string VistrelControl::State::recordingHeader() const {
    std::string header = "time";
    for (const auto& item : *items) {
        header += '\t';
        header += recordingColumnTitle(*item);
    }
    return header;
}

// The panel is narrow: the file's name says which file it is, the folder is
// the current directory the user started in.
void VistrelControl::State::showRecordingFile() {
    setStatus(std::filesystem::path(recordFileName).filename().string());
    view.setPanelText(panel::kRec, "REC");
}

void VistrelControl::State::startTriggeredRecording() {
    State& s = *this;
    if (s.recordFile || s.triggered) {
        return;
    }
    std::vector<std::string> names;
    for (const auto& item : *s.items) {
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

void VistrelControl::State::recordTriggered(const ReadResult& read,
                                            const std::string& valueColumns) {
    State& s = *this;
    switch (s.triggered->read(read.time, read.numbers(), valueColumns)) {
    case TriggeredRecording::Change::FileOpened:
        s.recordFileName = s.triggered->fileName();
        showRecordingFile();
        break;
    case TriggeredRecording::Change::FileClosed:
        s.setStatus("");
        s.view.setPanelText(panel::kRec, "TRIG");
        break;
    case TriggeredRecording::Change::None:
        break;
    }
}

void VistrelControl::State::rollRecording() {
    if (triggered) {
        // The conditions name the items of the old list: the wait for them
        // starts again with the new one.
        triggered.reset();
        startTriggeredRecording();
        return;
    }
    const std::string previous = recordFileName;
    recordFile.reset();
    // The same second names the same file: the new list goes to a file of
    // its own rather than after the old list's lines.
    const std::filesystem::path path(pathInCurrentDirectory(recordingFileName(platform.now())));
    recordFileName = path.string();
    for (int n = 2; recordFileName == previous || std::filesystem::exists(recordFileName); ++n) {
        recordFileName = (path.parent_path() / (path.stem().string() + "-" + std::to_string(n) +
                                                path.extension().string()))
                             .string();
    }
    openRecordFile();
    recording = recordFile != nullptr;
    recordStart = platform.milliseconds();
    view.setButtonPressed(button::kRec, recording);
    if (!recording) {
        view.setPanelText(panel::kRec, " ");
    }
}

void VistrelControl::State::stopRecording() {
    State& s = *this;
    if (!s.recordFile && !s.triggered) {
        return;
    }
    s.recordFile.reset();
    s.triggered.reset();
    // The next good read writes no line for a closed file.
    s.recording = false;
    s.setStatus("");
    s.view.setPanelText(panel::kRec, " ");
    s.view.setButtonPressed(button::kRec, false);
}

} // namespace vistrel
