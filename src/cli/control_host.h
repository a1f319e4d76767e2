// SPDX-License-Identifier: MIT
#pragma once

#include "cli/interrupt_flag.h"
#include "cli/session_options.h"
#include "cli/terminal_ports.h"
#include "cli/terminal_view.h"
#include "control/system_platform.h"
#include "control/vistrel_control.h"

#include <ostream>
#include <vector>

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

    // Waits for the engine's next events and shows them; none when nothing
    // came within a tenth of a second. An interrupt that came meanwhile
    // aborts the cycle at the next exchange boundary.
    std::vector<EngineEvent> nextEvents();
    // Stops the cycle and waits until the control is idle and an open
    // recording closed.
    void stopCommunication();

    void abortOn(const InterruptFlag& interrupt) noexcept { interrupt_ = &interrupt; }

    const TerminalView& view() const noexcept { return view_; }
    VistrelControl& control() noexcept { return control_; }
    std::uint32_t milliseconds() const { return platform_.milliseconds(); }

private:
    void handOverEcu(const SessionOptions& options);
    void fillList(const SessionOptions& options);
    void chooseSettings(const SessionOptions& options);
    // What the link found out about itself (an adapter's fallbacks), each
    // note once.
    void showLinkNotes(const std::vector<std::string>& notes);

    TerminalView view_;
    LoopWake wake_;
    std::ostream& notes_;
    std::size_t notesShown_ = 0;
    StreamMessages messages_;
    SystemPlatform platform_;
    VistrelControl control_;
    const InterruptFlag* interrupt_ = nullptr;
    bool aborted_ = false;
};

} // namespace vistrel::cli
