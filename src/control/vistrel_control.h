// SPDX-License-Identifier: MIT
#pragma once

#include "components/number_format.h"
#include "control/command_result.h"
#include "control/cycle_phase.h"
#include "control/ports.h"
#include "itemlist/vistrel_items.h"
#include "recording/trigger_condition.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vistrel {

class Protocol;

// The control's logic, free of any UI toolkit: its state, the polling cycle,
// the list, the files and the hidden keys.
//
// Two kinds of callers drive it. A view (the Qt widget) forwards what the
// user does: clicks, keys, edits of the setting fields, the timer's ticks
// and hiding; the control answers through the ports with the
// tool states, panels, message boxes and dialogs the user expects. A host
// without a user (the command line, tests) calls the use-case API instead:
// each call says what it does and returns what happened, and needs no
// clipboard, dialog or message box.
//
// Re-entry: a link may let the event loop run while it waits on the line, so
// any call can arrive while a step of the cycle is inside the protocol
// object. Calls that are harmless then act at once (stop, Abort, copy, the
// setting fields, StartSession, the version box); every other call is
// kept and runs, in order, right after the step in flight, and reports itself
// as deferred. A tick never runs inside another. Destroying the control
// during a step is safe as well: the step ends without touching the ports.
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
    // The host hands over its protocol object: resets the control.
    void setProtocol(std::shared_ptr<Protocol> protocol);
    // The session request in use; the list holds it.
    const std::string& StartSession() const noexcept;
    // Sets the session request, its text box and the list's.
    void setStartSession(std::string newValue);
    // Asks a running cycle to stop; a read in flight ends after its item.
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
    // Paste does with the clipboard's text. Stops the timer.
    PasteResult pasteText(std::string_view text);
    // Replaces the list by a configuration file's. On failure the list is
    // left empty and the result holds the text Open shows in its message.
    CommandResult openConfigFile(const std::string& path);
    // Saves the list with the settings as the fields show them.
    CommandResult saveConfigFile(const std::string& path);
    // Names and values of the items, "name TAB value CR LF" each.
    std::string copyText() const;
    // Starts the cycle over the current protocol object (nothing without
    // one); a second start while running opens the communication again.
    void start();
    // The cycle returns to idle at its next step.
    void stop();
    // Opens a recording file (or waits for the trigger's condition). The
    // result names the failure when the file cannot be opened.
    CommandResult startRecording();
    void stopRecording();
    // Takes a snapshot of every request and reply at the next good read.
    void setSnapshotArmed(bool armed);
    // One step of the cycle, as one tick of the timer runs it.
    StepOutcome step();

    // The setting fields as the user edits them: the list takes them at
    // start and at save. False for a label or size that is none of the
    // choices; the field then keeps its value.
    bool chooseMethod(std::string_view label);
    bool chooseLengthSize(std::int32_t size);
    void editSessionText(std::string text);

    // --- events from a view -------------------------------------------------
    void hide();
    // One tick of the BaseTemps timer.
    void tick();
    // The tool-bar button with that key was clicked; failures are shown in a
    // message box.
    void toolbarClick(std::string_view key);
    // Key code and shift state (1 Shift, 2 Ctrl, 4 Alt) of a released key.
    void keyUp(int keyCode, int shift);

    // --- state, for views and hosts ---------------------------------------
    CyclePhase cycleState() const noexcept;
    bool abortPending() const noexcept;
    bool recording() const noexcept;
    bool snapshotArmed() const noexcept;
    std::int32_t spinIndex() const noexcept;
    // Full path of the current or last recording file; "" before the first.
    const std::string& recordFileName() const noexcept;
    // The lines of a recording, composed as the recording file gets them
    // (UTF-8, no line end): the header for the current list, and the data
    // line of the last good read, timed from the recording's start or, with
    // no recording, from the cycle's start.
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
    // Shared with a step in flight, which keeps it alive if the control is
    // destroyed meanwhile.
    std::shared_ptr<State> state_;
};

} // namespace vistrel
