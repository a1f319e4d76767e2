// SPDX-License-Identifier: MIT
#pragma once

#include "cli/interrupt_flag.h"
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

    // From now on an interrupt aborts the read in progress, so that a
    // slow link stops within one exchange instead of one list read.
    void abortOn(const InterruptFlag& interrupt) noexcept { interrupt_ = &interrupt; }

    const TerminalView& view() const noexcept { return view_; }
    VistrelControl& control() noexcept { return control_; }

private:
    // The link's idle hook: runs while a real link waits on its line.
    void whileLinkWaits();
    void handOverEcu(const SessionOptions& options);
    void fillList(const SessionOptions& options);
    void chooseSettings(const SessionOptions& options);
    // What the link found out about itself (an adapter's fallbacks), each
    // note once.
    void showLinkNotes();

    TerminalView view_;
    LoopTimer timer_;
    std::ostream& notes_;
    std::size_t notesShown_ = 0;
    StreamMessages messages_;
    SystemPlatform platform_;
    VistrelControl control_;
    const InterruptFlag* interrupt_ = nullptr;
    bool aborted_ = false;
};

} // namespace vistrel::cli
