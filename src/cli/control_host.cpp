#include "cli/control_host.h"

#include "cli/demo_items.h"
#include "cli/exit_status.h"
#include "cli/file_text.h"
#include "components/byte_string.h"
#include "components/error.h"
#include "link/link_factory.h"
#include "link/link_spec.h"

#include <chrono>
#include <thread>

namespace vistrel::cli {
namespace {

// The polling timer's interval: a tick comes at the earliest this long
// after the previous one switched the timer on again.
constexpr auto kTimerInterval = std::chrono::milliseconds(1);

std::string joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const auto& text : texts) {
        all += all.empty() ? "" : ", ";
        all += text;
    }
    return all;
}

} // namespace

ControlHost::ControlHost(std::ostream& messages)
    : messages_(messages),
      control_(ControlPorts{view_, timer_, messages_, dialogs_, clipboard_, platform_}) {}

void ControlHost::setUp(const SessionOptions& options) {
    handOverEcu(options);
    fillList(options);
    chooseSettings(options);
}

void ControlHost::handOverEcu(const SessionOptions& options) {
    std::shared_ptr<Protocol> link;
    try {
        link = makeLink(options.link);
    } catch (const LinkSpecError& e) {
        throw UsageError(std::string("--link: ") + e.what());
    } catch (const Error& e) {
        throw UsageError(e.description());
    }
    control_.setProtocol(std::move(link));
}

void ControlHost::fillList(const SessionOptions& options) {
    if (options.configFile) {
        // The Open button with the dialog answering the file: the list
        // reports a bad file in its own message box.
        const auto shown = messages_.count();
        dialogs_.answerNextOpen(*options.configFile);
        try {
            click(button::kOpen);
        } catch (const Error& e) {
            throw UsageError(*options.configFile + ": " + e.description());
        }
        if (messages_.count() != shown) {
            throw UsageError("cannot open the configuration file " + *options.configFile);
        }
    } else {
        // The Paste button with the file's text on the clipboard.
        clipboard_.setText(options.itemsFile ? readTextFile(*options.itemsFile)
                                             : std::string(demoItemsText()));
        click(button::kPaste);
    }
    if (control_.items().count() == 0) {
        const std::string source =
            options.configFile ? *options.configFile
                               : (options.itemsFile ? *options.itemsFile : "the demo items");
        throw UsageError(source + ": no item to read");
    }
}

void ControlHost::chooseSettings(const SessionOptions& options) {
    if (options.method && !view_.chooseMethod(*options.method)) {
        throw UsageError("--method: " + *options.method + " is not one of " +
                         joined(view_.methods()));
    }
    if (options.mergeWindow) {
        // Not a box of the control: it lives in the list, as the
        // configuration file sets it.
        control_.items().setMergeWindow(*options.mergeWindow);
    }
    if (options.lengthSize && !view_.chooseLengthSize(*options.lengthSize)) {
        throw UsageError("--length-size: " + std::to_string(*options.lengthSize) +
                         " is not a length size (1 or 2)");
    }
    if (options.session) {
        // Checked here so that a typing error is a usage error instead of a
        // session request that fails on every tick.
        try {
            ByteString::fromText(*options.session);
        } catch (const Error& e) {
            throw UsageError("--session: " + *options.session + ": " + e.description());
        }
        view_.setSessionText(*options.session);
    }
}

void ControlHost::click(std::string_view key) {
    if (!view_.click(key)) {
        throw UsageError("the button " + std::string(key) + " is disabled");
    }
    control_.toolbarClick(key);
}

void ControlHost::keyUp(int keyCode, int shift) {
    control_.keyUp(keyCode, shift);
}

TickOutcome ControlHost::runTimer() {
    if (!timer_.enabled()) {
        return TickOutcome::TimerOff;
    }
    std::this_thread::sleep_for(kTimerInterval);
    const auto stateBefore = control_.cycleState();
    const auto spinBefore = control_.spinIndex();
    control_.tick();
    const auto stateAfter = control_.cycleState();
    if (control_.spinIndex() != spinBefore) {
        return TickOutcome::GoodRead;
    }
    const bool readFailed =
        stateBefore == CyclePhase::Run && stateAfter == CyclePhase::OpenCommunication;
    const bool stepRetried =
        (stateBefore == CyclePhase::OpenCommunication || stateBefore == CyclePhase::StartSession) &&
        stateAfter == stateBefore && timer_.enabled();
    return readFailed || stepRetried ? TickOutcome::FailedAttempt : TickOutcome::Progress;
}

void ControlHost::stopCommunication() {
    click(button::kStop);
    control_.tick();
}

} // namespace vistrel::cli
