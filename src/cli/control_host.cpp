// SPDX-License-Identifier: MIT
#include "cli/control_host.h"

#include "cli/demo_items.h"
#include "cli/exit_status.h"
#include "cli/file_text.h"
#include "components/byte_string.h"
#include "components/error.h"
#include "components/error_numbers.h"
#include "connect/link_factory.h"
#include "link/link_string.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace vistrel::cli {
namespace {

// The polling timer's interval: a tick comes at the earliest this long
// after the previous one switched the timer on again.
constexpr auto kTimerInterval = std::chrono::milliseconds(1);

// A message box's text on one line: its CR LF breaks become "; ".
std::string oneLine(const std::string& text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            line += "; ";
            ++i;
        } else {
            line += text[i];
        }
    }
    return line;
}

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
      control_(ControlPorts{view_, timer_, messages_, nullptr, nullptr, platform_}) {}

void ControlHost::setUp(const SessionOptions& options) {
    handOverEcu(options);
    fillList(options);
    chooseSettings(options);
}

void ControlHost::handOverEcu(const SessionOptions& options) {
    std::shared_ptr<Protocol> link;
    try {
        link = makeLink(options.link, LinkOptions{[this] { whileLinkWaits(); }});
    } catch (const LinkStringError& e) {
        throw UsageError(std::string("--link: ") + e.what());
    } catch (const Error& e) {
        throw UsageError(e.description());
    }
    control_.setProtocol(std::move(link));
}

void ControlHost::whileLinkWaits() {
    if (interrupt_ != nullptr && interrupt_->raised() && !aborted_) {
        aborted_ = true;
        control_.Abort();
    }
}

void ControlHost::fillList(const SessionOptions& options) {
    if (options.configFile) {
        const std::string& path = *options.configFile;
        if (!std::filesystem::is_regular_file(path)) {
            throw UsageError(path + ": no such configuration file");
        }
        const CommandResult opened = control_.openConfigFile(path);
        if (opened.number == kBadConfigFile) {
            throw UsageError(path + ": not a configuration file (its root must be " +
                             "<Vistrel Version=\"...\">)");
        }
        if (!opened.ok()) {
            throw UsageError(path + ": cannot be loaded (" + oneLine(opened.text) + ")");
        }
    } else {
        control_.pasteText(options.itemsFile ? readTextFile(*options.itemsFile)
                                             : std::string(demoItemsText()));
    }
    if (control_.items().count() == 0) {
        const std::string source =
            options.configFile ? *options.configFile
                               : (options.itemsFile ? *options.itemsFile : "the demo items");
        throw UsageError(source + ": no item to read");
    }
}

void ControlHost::chooseSettings(const SessionOptions& options) {
    if (options.method && !control_.chooseMethod(*options.method)) {
        throw UsageError("--method: " + *options.method + " is not one of " +
                         joined(view_.methods()));
    }
    if (options.mergeWindow) {
        // Not a box of the control: it lives in the list, as the
        // configuration file sets it.
        control_.items().setMergeWindow(*options.mergeWindow);
    }
    if (options.lengthSize && !control_.chooseLengthSize(*options.lengthSize)) {
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
        control_.editSessionText(*options.session);
    }
}

StepOutcome ControlHost::runTimer() {
    if (!timer_.enabled()) {
        return {};
    }
    std::this_thread::sleep_for(kTimerInterval);
    return control_.step();
}

void ControlHost::stopCommunication() {
    control_.stop();
    control_.step();
}

} // namespace vistrel::cli
