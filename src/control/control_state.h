// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "components/error.h"
#include "components/number_format.h"
#include "components/protocol.h"
#include "control/command_result.h"
#include "control/dialog_mode.h"
#include "control/ports.h"
#include "control/record_file.h"
#include "control/triggered_recording.h"
#include "control/vistrel_control.h"
#include "itemlist/vistrel_items.h"

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace vistrel {

// Everything the control holds between two events, the ports it was given,
// and the operations behind its public calls. A step of the cycle holds the
// state by a shared pointer of its own, so that the control may be destroyed
// while the step waits on the protocol object.
struct VistrelControl::State : ControlPorts {
    State(ControlPorts ports, NumberFormat numberFormat)
        : ControlPorts(ports), items(std::move(numberFormat)) {}

    // --- re-entry -------------------------------------------------------------
    // Runs command now, or after the step in flight; true when it ran now.
    bool whenIdle(std::function<void()> command);
    void runDeferred();
    // True while a step of the cycle is in flight.
    bool busy = false;
    // The control is gone: the step in flight touches no port any more.
    bool detached = false;
    std::deque<std::function<void()>> deferred;

    // --- lifecycle and grid ---------------------------------------------------
    void initialise();
    void setProtocol(std::shared_ptr<Protocol> protocol);
    void setStartSession(std::string newValue);
    void hide();
    void GridCreate();
    void GridFill();

    // --- polling cycle ----------------------------------------------------------
    StepOutcome step();
    StepOutcome runStepOfPhase();
    StepOutcome openCommunicationStep();
    StepOutcome startSessionStep();
    StepOutcome runStep();
    // The outcome of a step that an Abort, a Stop or the control's end cut
    // short.
    StepOutcome interrupted();
    void showGoodRead();
    void showFailedRead(const std::string& description);
    void failedUnexpectedly(const Error& failure);
    void StopCommunication();
    void start();
    // The cycle stops at its next tick.
    void stop();

    // --- commands -----------------------------------------------------------
    void toolbarClick(std::string_view key);
    void runCommand(std::string_view key);
    void recCommand();
    PasteResult pasteText(std::string_view text);
    CommandResult openConfigFile(const std::string& path);
    CommandResult saveConfigFile(const std::string& path);
    std::string copyText() const;
    void RefreshFromList();
    void ConfigFileDialog(DialogMode mode);
    void showFailure(const CommandResult& result);
    void setMousePointer(MousePointer pointer);
    void keyUp(int keyCode, int shift);

    // --- recording --------------------------------------------------------------
    CommandResult startRecording();
    void StartRecording();
    void StopRecording();
    void startTriggeredRecording();
    void recordTriggered(const std::string& valueColumns);
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
    ByteString sessionRequest;
    ByteString sessionReply;
    std::unique_ptr<pugi::xml_document> snapshotDoc;
    pugi::xml_node snapshotRoot;
    CyclePhase cycleState = CyclePhase::Idle;
    bool recording = false;
    bool abortPending = false;
    // Stop came in during a step: the list read stops before its next item
    // and the step ends the cycle, instead of the next tick.
    bool stopCutsStep = false;
    // The millisecond clock when the recording started; elapsed times are
    // taken modulo 2^32 so that a clock wrap between two reads does no harm.
    std::uint32_t recordStart = 0;
    bool snapshotArmed = false;
    VistrelItems items;
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
    // The value column of the last read, kept to reuse its storage.
    std::vector<std::string> values;

    // The files of the control lie in the platform's current directory.
    std::string pathInCurrentDirectory(const std::string& name) const {
        return (std::filesystem::path(platform.currentDirectory()) / name).string();
    }
};

} // namespace vistrel
