#pragma once

#include "cli/session_options.h"
#include "cli/terminal_ports.h"
#include "cli/terminal_view.h"
#include "control/system_platform.h"
#include "control/vistrel_control.h"

#include <ostream>
#include <string_view>

namespace vistrel::cli {

// What one turn of the timer loop did, as the user would see it.
enum class TickOutcome {
    // The timer is off: no tick is due and none ran.
    TimerOff,
    // A step that went forward, or a stop.
    Progress,
    // A read whose values reached the grid: the spinner moved on.
    GoodRead,
    // A step that failed and will be tried again: a read that sent the
    // cycle back to opening communication, or an opening or session request
    // that failed.
    FailedAttempt,
};

// The control hosted in a terminal: the ports, the control, and the user's
// hands on the tool bar, the keys and the timer.
class ControlHost {
public:
    explicit ControlHost(std::ostream& messages);

    // Hands over the ECU, fills the list and sets the boxes as the options
    // say. Throws UsageError for an ECU, a file or a choice that cannot be
    // used.
    void setUp(const SessionOptions& options);

    // Clicks a tool-bar button the way a user does. Throws UsageError when
    // the button is disabled.
    void click(std::string_view key);
    void keyUp(int keyCode, int shift);

    // Waits the timer's interval and runs one tick while the timer is on.
    TickOutcome runTimer();
    // Stop, then the one tick in which the control goes idle and closes an
    // open recording.
    void stopCommunication();

    const TerminalView& view() const noexcept { return view_; }
    VistrelControl& control() noexcept { return control_; }
    const MemoryClipboard& clipboard() const noexcept { return clipboard_; }
    const PlatformPort& platform() const noexcept { return platform_; }

private:
    void handOverEcu(const SessionOptions& options);
    void fillList(const SessionOptions& options);
    void chooseSettings(const SessionOptions& options);

    TerminalView view_;
    LoopTimer timer_;
    StreamMessages messages_;
    AnswerDialogs dialogs_;
    MemoryClipboard clipboard_;
    SystemPlatform platform_;
    VistrelControl control_;
};

} // namespace vistrel::cli
