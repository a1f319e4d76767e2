#include "cli/watch_command.h"

#include "cli/control_host.h"
#include "cli/exit_status.h"
#include "cli/grid_renderer.h"
#include "cli/interrupt_flag.h"
#include "cli/recording_lines.h"
#include "components/error.h"
#include "recording/trigger_condition.h"

#include <chrono>
#include <string>

namespace vistrel::cli {
namespace {

// The hidden key that arms the snapshot: V released with Ctrl and Alt.
constexpr int kKeyV = 86;
constexpr int kCtrlAlt = 6;

// How the watch shows what happens: the grid on a terminal, the recording's
// lines elsewhere.
class WatchDisplay {
public:
    WatchDisplay(ControlHost& host, std::ostream& out, std::ostream& err,
                 std::optional<std::size_t> terminalWidth)
        : host_(host), out_(out), err_(err), terminalWidth_(terminalWidth),
          clockStart_(host.platform().milliseconds()) {}

    void started() {
        if (!terminalWidth_) {
            out_ << recordingHeaderLine(host_.control().items()) << '\n' << std::flush;
        }
    }

    void goodRead() {
        lastFailure_.clear();
        if (terminalWidth_) {
            draw();
        } else {
            const auto elapsed =
                static_cast<std::int32_t>(host_.platform().milliseconds() - clockStart_);
            out_ << recordingDataLine(host_.control().items(), elapsed) << '\n' << std::flush;
        }
    }

    // A failure is shown once, not again on every retry of the same step.
    void failedAttempt() {
        const std::string& status = host_.view().panelText(panel::kStatus);
        if (status == lastFailure_) {
            return;
        }
        lastFailure_ = status;
        if (terminalWidth_) {
            draw();
        } else {
            err_ << status << '\n' << std::flush;
        }
    }

    const std::string& lastFailure() const noexcept { return lastFailure_; }

    void stopped() {
        if (terminalWidth_) {
            draw();
        }
    }

private:
    void draw() {
        out_ << redrawInPlace(renderer_.render(host_.view(), *terminalWidth_)) << std::flush;
    }

    ControlHost& host_;
    std::ostream& out_;
    std::ostream& err_;
    std::optional<std::size_t> terminalWidth_;
    std::uint32_t clockStart_;
    GridRenderer renderer_;
    std::string lastFailure_;
};

// The recording trigger of the options, checked against the list's names
// so that a mistyped name is a usage error rather than a silent wait.
std::optional<RecordingTrigger> recordingTrigger(const WatchOptions& options,
                                                 const VistrelItems& items) {
    if (options.recordWhen.empty() && options.recordUntil.empty()) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (const auto& item : items) {
        names.push_back(item->name());
    }
    RecordingTrigger trigger{{}, {}, options.preTrigger, options.postTrigger};
    try {
        for (auto [text, condition] : {std::pair{&options.recordWhen, &trigger.when},
                                       std::pair{&options.recordUntil, &trigger.until}}) {
            if (!text->empty()) {
                condition->emplace(TriggerCondition::parse(*text)).bind(names);
            }
        }
    } catch (const Error& e) {
        throw UsageError(e.description());
    }
    return trigger;
}

} // namespace

int runWatch(const WatchOptions& options, std::ostream& out, std::ostream& err,
             std::optional<std::size_t> terminalWidth) {
    ControlHost host(err);
    host.setUp(options.session);
    if (options.snapshot) {
        host.keyUp(kKeyV, kCtrlAlt);
    }
    const InterruptFlag interrupted;
    if (options.record) {
        host.control().setRecordingTrigger(recordingTrigger(options, host.control().items()));
        host.click(button::kRec);
        if (!host.control().recording()) {
            throw UsageError("cannot record: " + host.control().recordFileName() +
                             " cannot be opened for appending");
        }
    }
    WatchDisplay display(host, out, err, terminalWidth);
    const auto started = std::chrono::steady_clock::now();
    const auto timeIsUp = [&] {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
        return options.seconds && elapsed.count() >= *options.seconds;
    };
    host.click(button::kStart);
    display.started();

    long goodReads = 0;
    while (!interrupted.raised() && !(options.cycles && goodReads >= *options.cycles) &&
           !timeIsUp()) {
        const auto outcome = host.runTimer();
        if (outcome == TickOutcome::TimerOff) {
            break;
        }
        if (outcome == TickOutcome::GoodRead) {
            ++goodReads;
            display.goodRead();
        } else if (outcome == TickOutcome::FailedAttempt) {
            display.failedAttempt();
        }
    }
    // Stop and the tick that follows it close the recording file cleanly.
    host.stopCommunication();
    display.stopped();
    if (options.record && !host.control().recordFileName().empty()) {
        err << "recorded: " << host.control().recordFileName() << '\n';
    } else if (options.record) {
        err << "not recorded: the start condition never held\n";
    }
    if (goodReads == 0) {
        // Stopping emptied the status panel: the reason is repeated here.
        err << "no good read" << (display.lastFailure().empty() ? "" : ": ")
            << display.lastFailure() << '\n';
        return kExitReadFailed;
    }
    return kExitSuccess;
}

} // namespace vistrel::cli
