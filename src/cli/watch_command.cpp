// SPDX-License-Identifier: MIT
#include "cli/watch_command.h"

#include "cli/control_host.h"
#include "cli/exit_status.h"
#include "cli/grid_renderer.h"
#include "cli/interrupt_flag.h"
#include "cli/terminal_text.h"
#include "components/error.h"
#include "recording/trigger_condition.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>

namespace vistrel::cli {
namespace {

// A terminal redrawn on every read (hundreds a second) floods a slow link
// and flickers; the eye needs no more than this many frames a second.
constexpr auto kFrameInterval = std::chrono::milliseconds(40);

// How the watch shows what happens: the grid on a terminal, the recording's
// lines elsewhere, as the control composes them.
class WatchDisplay {
public:
    WatchDisplay(ControlHost& host, std::ostream& out, std::ostream& err,
                 std::optional<std::size_t> terminalWidth)
        : host_(host), out_(out), err_(err), terminalWidth_(terminalWidth) {}

    void started() {
        if (!terminalWidth_) {
            out_ << host_.control().recordingHeader() << '\n' << std::flush;
        }
    }

    // The cycle began (again): on a terminal the list shows at once, with
    // the link being connected to, not only after its wake-up.
    void connecting() {
        awaitingRead_ = true;
        if (terminalWidth_) {
            draw();
        }
    }

    void goodRead() {
        // The first values, and the end of a failure, show at once.
        const bool news = std::exchange(awaitingRead_, false) || !lastFailure_.empty();
        lastFailure_.clear();
        if (terminalWidth_ && news) {
            draw();
        } else if (terminalWidth_) {
            drawAtFrameRate();
        } else {
            out_ << host_.control().readLine() << '\n' << std::flush;
        }
    }

    // A failure is shown once, not again on every retry of the same step.
    void failedAttempt(const std::string& failure) {
        if (failure == lastFailure_) {
            // The time since the last good read goes on.
            if (terminalWidth_) {
                drawAtFrameRate();
            }
            return;
        }
        lastFailure_ = failure;
        if (terminalWidth_) {
            draw();
        } else {
            err_ << failure << '\n' << std::flush;
        }
    }

    // An exchange got no answer while a read goes on: a terminal shows it
    // at once; piped output tells the read's failure, if it fails.
    void silenceBegan() {
        if (terminalWidth_) {
            draw();
        }
    }

    const std::string& lastFailure() const noexcept { return lastFailure_; }

    void stopped() {
        if (terminalWidth_) {
            draw();
        }
    }

private:
    void drawAtFrameRate() {
        if (std::chrono::steady_clock::now() - lastDraw_ >= kFrameInterval) {
            draw();
        }
    }

    void draw() {
        lastDraw_ = std::chrono::steady_clock::now();
        std::vector<std::string> lines = renderer_.render(host_.view(), *terminalWidth_);
        if (host_.view().valuesStale()) {
            // Above the status panels: the values got no answer since.
            lines.insert(lines.end() - 1,
                         host_.control().linkHealth().valuesAgeText(host_.milliseconds()));
        }
        lines.push_back(linkLine());
        out_ << redrawInPlace(lines) << std::flush;
    }

    // The link and how it answers, then the read rate, which stays whole
    // while a long device path gives up its middle.
    std::string linkLine() const {
        const std::string rate = host_.control().linkHealth().rateText();
        const std::string gap = rate.empty() ? "" : "   ";
        const std::size_t rateWidth = std::min(*terminalWidth_, rate.size() + gap.size());
        return middleElided(printable(host_.control().linkInWords()), *terminalWidth_ - rateWidth) +
               std::string(firstCharacters(gap + rate, rateWidth));
    }

    ControlHost& host_;
    std::ostream& out_;
    std::ostream& err_;
    std::optional<std::size_t> terminalWidth_;
    GridRenderer renderer_;
    std::string lastFailure_;
    bool awaitingRead_ = false;
    std::chrono::steady_clock::time_point lastDraw_{};
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
        host.control().setSnapshotArmed(true);
    }
    const InterruptFlag interrupted;
    host.abortOn(interrupted);
    if (options.record) {
        host.control().setRecordingTrigger(recordingTrigger(options, host.control().items()));
        const CommandResult recording = host.control().startRecording();
        if (!recording.ok()) {
            throw UsageError("cannot record: " + recording.text);
        }
    }
    WatchDisplay display(host, out, err, terminalWidth);
    const auto started = std::chrono::steady_clock::now();
    const auto timeIsUp = [&] {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
        return options.seconds && elapsed.count() >= *options.seconds;
    };
    host.control().start();
    display.started();

    // Every read shown goes to the output as well, also those that the
    // stop below still brings in; none after the cycles asked for.
    long goodReads = 0;
    const auto enough = [&] { return options.cycles && goodReads >= *options.cycles; };
    host.control().subscribe([&](const EngineEvent& event) {
        const auto kind = event.outcome.kind;
        if (kind == StepOutcome::Kind::GoodRead && !enough()) {
            ++goodReads;
            display.goodRead();
        } else if (kind == StepOutcome::Kind::Failed) {
            display.failedAttempt(event.outcome.failure);
        } else if (kind == StepOutcome::Kind::Unanswered) {
            display.silenceBegan();
        } else if (kind == StepOutcome::Kind::Started) {
            display.connecting();
        }
        if (enough()) {
            host.control().stopRecording();
        }
    });
    bool ended = false;
    while (!ended && !interrupted.raised() && !enough() && !timeIsUp()) {
        for (const EngineEvent& event : host.nextEvents()) {
            ended = event.outcome.kind == StepOutcome::Kind::Stopped ||
                    event.outcome.kind == StepOutcome::Kind::Halted;
        }
    }
    // Stopping closes the recording file cleanly.
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
