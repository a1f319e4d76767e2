#pragma once

#include "components/number_format.h"
#include "control/cycle_phase.h"
#include "control/dialog_mode.h"
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
// the tool-bar commands, the clipboard, the files and the hidden keys. A view
// implements the ports and forwards the user's events here.
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
    const std::string& StartSession() const noexcept;
    void setStartSession(std::string newValue);
    void Abort();
    void GridCreate();
    void GridSetColWidth();

    // A trigger makes the next Rec wait for its start condition and open a
    // new file for each run; nullopt restores the plain Rec. Takes effect at
    // the next press of Rec.
    void setRecordingTrigger(std::optional<RecordingTrigger> trigger);
    const std::optional<RecordingTrigger>& recordingTrigger() const noexcept;

    // --- events from the view ---------------------------------------------
    void resize();
    void hide();
    // One tick of the BaseTemps timer.
    void tick();
    void toolbarClick(std::string_view key);
    // Key code and shift state (1 Shift, 2 Ctrl, 4 Alt) of a released key.
    void keyUp(int keyCode, int shift);

    // --- state, for views and tests ---------------------------------------
    CyclePhase cycleState() const noexcept;
    bool abortPending() const noexcept;
    bool recording() const noexcept;
    bool snapshotArmed() const noexcept;
    std::int32_t spinIndex() const noexcept;
    const std::string& recordFileName() const noexcept;
    VistrelItems& items() noexcept;
    const VistrelItems& items() const noexcept;

private:
    struct State;

    // Lifecycle and grid.
    void placeGrid();
    void GridFill();

    // Polling cycle: one step of the state machine per tick.
    void runTick();
    void openCommunicationStep();
    void startSessionStep();
    void runStep();
    void showGoodRead();
    void showFailedRead(const std::string& description);
    void StopCommunication();

    // Tool-bar commands.
    void runCommand(std::string_view key);
    void startCommand();
    void recCommand();

    // Clipboard, files and tool state.
    void ClipboardCopy();
    void ClipboardPaste();
    void RefreshFromList();
    void ConfigFileDialog(DialogMode mode);
    void StartRecording();
    void StopRecording();
    void startTriggeredRecording();
    void recordTriggered(const std::string& valueColumns);

    std::unique_ptr<State> state_;
};

} // namespace vistrel
