// SPDX-License-Identifier: MIT
#pragma once

#include "components/number_format.h"
#include "components/protocol.h"
#include "control/command_result.h"
#include "control/dialog_mode.h"
#include "control/ports.h"
#include "control/record_file.h"
#include "control/triggered_recording.h"
#include "control/vistrel_control.h"
#include "engine/link_health.h"
#include "engine/poller.h"
#include "itemlist/vistrel_items.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vistrel {

// Everything the control holds, the ports it was given, and the operations
// behind its public calls. All of it lives on the host's thread; the engine
// has its own copy of the list it reads.
struct VistrelControl::State : ControlPorts {
    State(ControlPorts ports, NumberFormat numberFormat);

    // --- lifecycle and grid ---------------------------------------------------
    void initialise();
    void setProtocol(std::shared_ptr<Protocol> protocol);
    void setStartSession(std::string newValue);
    void hide();
    void createGrid();
    void fillGrid();

    // --- the engine's events ----------------------------------------------------
    std::vector<EngineEvent> deliverEvents(std::size_t most);
    void present(const EngineEvent& event);
    void showStarted();
    void showProgress(std::uint32_t time);
    void showGoodRead(const EngineEvent& event);
    void showFailedRead();
    // Status shows text (a file name, what a paste did, or nothing).
    void setStatus(std::string text);
    // Status shows what keeps the cycle from reading; the text it showed
    // before comes back once a read succeeds again.
    void showStatusFailure(const std::string& failure);
    void clearStatusFailure();
    void stopCommunication();
    void start();
    void stop();
    // The list as the setting fields show it, for the engine to read.
    std::unique_ptr<VistrelItems> listToRead();
    // A new list took the old one's place: a running cycle reads it from
    // now on, and a recording goes on in a file of its own.
    void listReplaced();

    // --- commands -----------------------------------------------------------
    void toolbarClick(std::string_view key);
    void runCommand(std::string_view key);
    void recCommand();
    std::unique_ptr<VistrelItems> pastedList(std::string_view pasted, PasteResult& result) const;
    bool clipboardHoldsItemLines() const;
    PasteResult pasteText(std::string_view text);
    CommandResult openConfigFile(const std::string& path);
    CommandResult saveConfigFile(const std::string& path);
    std::string copyText() const;
    void refreshFromList();
    void configFileDialog(DialogMode mode);
    void showFailure(const CommandResult& result);
    void setMousePointer(MousePointer pointer);
    void keyUp(int keyCode, int shift);
    void setSnapshotArmed(bool armed);

    // --- recording --------------------------------------------------------------
    CommandResult startRecording();
    void startRecordingFile();
    void openRecordFile();
    void stopRecording();
    void startTriggeredRecording();
    void recordTriggered(const ReadResult& read, const std::string& valueColumns);
    // Closes the recording file and opens the next with the new list's
    // header, so that no file mixes two lists.
    void rollRecording();
    std::string recordingHeader() const;
    void showRecordingFile();

    std::shared_ptr<Protocol> currentProtocol;
    // The setting fields as the user left them; the list takes them at Start
    // and Save. The session request in use is the list's StartSession.
    std::string methodChoice;
    std::int32_t lengthSizeChoice = 1;
    std::string sessionText;
    MousePointer mousePointer = MousePointer::Default;
    std::array<std::string, 4> spinFrames;
    std::int32_t spinIndex = 0;
    // The phase the engine last reported; Idle once the control stops
    // showing the engine (hidden).
    CyclePhase cycleState = CyclePhase::Idle;
    // Start was pressed and no Stop has been shown since: the buttons and
    // fields of a running cycle.
    bool running = false;
    bool recording = false;
    std::uint32_t recordStart = 0;
    bool snapshotArmed = false;
    // The list or a setting field was changed since the list was opened,
    // saved or emptied: closing it now would lose work.
    bool listChanged = false;
    std::unique_ptr<VistrelItems> items;
    std::string recordFileName;
    std::unique_ptr<RecordFile> recordFile;
    // Set by the host: Rec then waits for a condition instead of opening a
    // file at once.
    std::optional<RecordingTrigger> recordingTrigger;
    // Present while Rec is pressed with a trigger set.
    std::unique_ptr<TriggeredRecording> triggered;
    std::string recordLine;
    // The data line of the last good read, kept whether or not it is
    // recorded, and the clock from which it is timed without a recording.
    std::string readLine;
    std::uint32_t cycleStart = 0;
    // The value texts of the last good read shown, one per item.
    std::vector<ValueCell> values;
    // What the Status panel shows, and what it showed before a failure took
    // it (absent while it shows no failure).
    std::string statusShown;
    std::optional<std::string> statusBeforeFailure;
    LinkHealth health;
    std::vector<std::function<void(const EngineEvent&)>> listeners;
    // Counts the lists and links handed to the engine; the engine's events
    // of an earlier one are not shown.
    std::uint64_t generation = 0;
    // Last, so that it goes first: the engine's thread may call the wake
    // port until it has ended.
    Poller engine;

    // The files of the control lie in the platform's current directory.
    std::string pathInCurrentDirectory(const std::string& name) const {
        return (std::filesystem::path(platform.currentDirectory()) / name).string();
    }
};

} // namespace vistrel
