#pragma once

#include "cli/session_options.h"
#include "cli/terminal_ports.h"
#include "cli/terminal_view.h"
#include "control/system_platform.h"
#include "control/vistrel_control.h"

#include <ostream>

namespace vistrel::cli {

// The control hosted in a terminal: its ports and the control, driven
// through the control's use cases.
class ControlHost {
public:
    explicit ControlHost(std::ostream& messages);

    // Hands over the ECU, fills the list and chooses the settings as the
    // options say. Throws UsageError for an ECU, a file or a choice that
    // cannot be used.
    void setUp(const SessionOptions& options);

    // Waits the timer's interval and runs one step of the cycle while the
    // timer is on; NotDue once it is off.
    StepOutcome runTimer();
    // Stop, then the one step in which the control goes idle and closes an
    // open recording.
    void stopCommunication();

    const TerminalView& view() const noexcept { return view_; }
    VistrelControl& control() noexcept { return control_; }

private:
    void handOverEcu(const SessionOptions& options);
    void fillList(const SessionOptions& options);
    void chooseSettings(const SessionOptions& options);

    TerminalView view_;
    LoopTimer timer_;
    StreamMessages messages_;
    SystemPlatform platform_;
    VistrelControl control_;
};

} // namespace vistrel::cli
