// SPDX-License-Identifier: MIT
#pragma once

#include "components/number_format.h"
#include "control/command_result.h"
#include "control/ports.h"
#include "engine/engine_event.h"
#include "engine/link_health.h"
#include "itemlist/vistrel_items.h"
#include "recording/trigger_condition.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

class Protocol;

// The control's logic, free of any UI toolkit: the list, the settings, the
// tools, the files and the hidden keys, over the reading engine that runs the
// polling cycle on a thread of its own.
//
// Two kinds of callers drive it. A view (the Qt widget) forwards what the
// user does: clicks, keys, edits of the setting fields and hiding; the
// control answers through the ports with the tool states, panels, message
// boxes and dialogs the user expects. A host without a user (the command
// line, tests) calls the use-case API instead: each call says what it does
// and returns what happened, and needs no clipboard, dialog or message box.
//
// Every call returns at once: what concerns the cycle goes to the engine as
// a command, applied between two exchanges. The engine's events reach the
// view when the host, woken through its WakePort, calls deliverEvents() on
// its own thread; subscribers get each event there as well.
class VistrelControl {
public:
    // Initialises the control (method box, length size, session text,
    // spinner); the ports must outlive the control.
    explicit VistrelControl(ControlPorts ports,
                            NumberFormat numberFormat = NumberFormat::fromProcessLocale());
    ~VistrelControl();
    VistrelControl(const VistrelControl&) = delete;
    VistrelControl& operator=(const VistrelControl&) = delete;

    // --- public interface for hosts ---------------------------------------
    const std::shared_ptr<Protocol>& CurrentProtocol() const noexcept;
    // Stores the object and does nothing else.
    void setCurrentProtocol(std::shared_ptr<Protocol> protocol);
    // The host hands over its protocol object. The list and its settings
    // stay (they describe the ECU, not the cable); a running cycle opens the
    // communication again over the new link.
    void setProtocol(std::shared_ptr<Protocol> protocol);
    // The session request in use; the list holds it.
    const std::string& StartSession() const noexcept;
    // Sets the session request, its text box and the list's.
    void setStartSession(std::string newValue);
    // Halts a running cycle after the exchange in flight; between two steps
    // it stops the cycle as Stop does.
    void Abort();
    // Hands the grid's columns to the view.
    void GridCreate();

    // A trigger makes the next Rec wait for its start condition and open a
    // new file for each run; nullopt restores the plain Rec. Takes effect at
    // the next start of a recording.
    void setRecordingTrigger(std::optional<RecordingTrigger> trigger);
    const std::optional<RecordingTrigger>& recordingTrigger() const noexcept;

    // --- use cases ----------------------------------------------------------
    // Replaces the list by the item lines of text (cut at CR LF or LF), as
    // Paste does with the clipboard's text. A text without any item line
    // leaves the list as it was and says so.
    PasteResult pasteText(std::string_view text);
    // Whether Paste would replace the list: the clipboard holds at least one
    // item line. A view asks before it offers to save a changed list.
    bool clipboardHoldsItemLines() const;
    // Replaces the list by a configuration file's; a running cycle goes on
    // with the new list. On failure the list and the settings stay as they
    // were and the result holds the text Open shows in its message.
    CommandResult openConfigFile(const std::string& path);
    // Saves the list with the settings as the fields show them.
    CommandResult saveConfigFile(const std::string& path);
    // Names and values of the items, "name TAB value CR LF" each.
    std::string copyText() const;
    // Starts the cycle over the current protocol object (nothing without
    // one); a second start while running opens the communication again.
    void start();
    // The cycle returns to idle after the exchange in flight.
    void stop();
    // Opens a recording file (or waits for the trigger's condition). The
    // result names the failure when the file cannot be opened.
    CommandResult startRecording();
    void stopRecording();
    // Takes a snapshot of every request and reply at the next good read.
    void setSnapshotArmed(bool armed);

    // Shows the events the engine emitted since the last call (the oldest
    // most of them), hands each to the subscribers, and returns them. Called
    // on the host's thread.
    std::vector<EngineEvent> deliverEvents(std::size_t most = SIZE_MAX);
    // Waits until the engine has events to deliver; false on time-out.
    bool waitForEvents(std::chrono::milliseconds timeout);
    // Called in deliverEvents() for each event of the list shown now.
    void subscribe(std::function<void(const EngineEvent&)> listener);
    // The link's state, the time since the last good read and the rates.
    const LinkHealth& linkHealth() const noexcept;
    // The link in use and how it answers, for a status line: "K-line
    // /dev/ttyUSB0 — ECU answering", "connecting to …"; "" without a link.
    std::string linkInWords() const;

    // The setting fields as the user edits them: the list takes them at
    // start and at save. False for a label or size that is none of the
    // choices; the field then keeps its value.
    bool chooseMethod(std::string_view label);
    bool chooseLengthSize(std::int32_t size);
    void editSessionText(std::string text);

    // --- events from a view -------------------------------------------------
    void hide();
    // The tool-bar button with that key was clicked; failures are shown in a
    // message box.
    void toolbarClick(std::string_view key);
    // Key code and shift state (1 Shift, 2 Ctrl, 4 Alt) of a released key.
    void keyUp(int keyCode, int shift);

    // --- state, for views and hosts ---------------------------------------
    // The phase the engine last reported.
    CyclePhase cycleState() const noexcept;
    bool recording() const noexcept;
    bool snapshotArmed() const noexcept;
    std::int32_t spinIndex() const noexcept;
    // Full path of the current or last recording file; "" before the first.
    const std::string& recordFileName() const noexcept;
    // The lines of a recording, composed as the recording file gets them
    // (UTF-8, no line end): the header for the current list, and the data
    // line of the last good read shown, timed from the recording's start or,
    // with no recording, from the cycle's start.
    std::string recordingHeader() const;
    const std::string& readLine() const noexcept;
    // The settings as the fields show them.
    const std::string& methodChoice() const noexcept;
    std::int32_t lengthSizeChoice() const noexcept;
    const std::string& sessionText() const noexcept;
    // True when the list holds items that were pasted, imported or had
    // their settings edited since the list was last opened or saved.
    bool listChanged() const noexcept;
    VistrelItems& items() noexcept;
    const VistrelItems& items() const noexcept;

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace vistrel
