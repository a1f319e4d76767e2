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

namespace vistrel::cli {
namespace {

// How long the loop waits for events before it looks at an interrupt again.
constexpr auto kEventWait = std::chrono::milliseconds(100);
// A stop takes effect within one exchange; a link that hangs longer than
// this is left behind.
constexpr auto kStopWait = std::chrono::seconds(10);

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
    : notes_(messages), messages_(messages),
      control_(ControlPorts{view_, wake_, messages_, nullptr, nullptr, platform_}) {}

void ControlHost::setUp(const SessionOptions& options) {
    handOverEcu(options);
    fillList(options);
    chooseSettings(options);
}

void ControlHost::handOverEcu(const SessionOptions& options) {
    std::shared_ptr<Protocol> link;
    try {
        link = makeLink(options.link);
    } catch (const LinkStringError& e) {
        throw UsageError(std::string("--link: ") + e.what());
    } catch (const Error& e) {
        throw UsageError(e.description());
    }
    control_.setProtocol(std::move(link));
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
        if (opened.number == kNotXmlFile) {
            // The same words as the message box, which names the file.
            throw UsageError(oneLine(opened.text));
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

std::vector<EngineEvent> ControlHost::nextEvents() {
    if (interrupt_ != nullptr && interrupt_->raised() && !aborted_) {
        aborted_ = true;
        control_.Abort();
    }
    control_.waitForEvents(kEventWait);
    // One at a time, so that the command sees each read's line and stops
    // after exactly the reads it asked for.
    std::vector<EngineEvent> events = control_.deliverEvents(1);
    for (const EngineEvent& event : events) {
        showLinkNotes(event.linkNotes);
    }
    return events;
}

void ControlHost::showLinkNotes(const std::vector<std::string>& notes) {
    for (; notesShown_ < notes.size(); ++notesShown_) {
        notes_ << notes[notesShown_] << '\n' << std::flush;
    }
}

void ControlHost::stopCommunication() {
    control_.stop();
    const auto deadline = std::chrono::steady_clock::now() + kStopWait;
    while (control_.cycleState() != CyclePhase::Idle &&
           std::chrono::steady_clock::now() < deadline) {
        control_.waitForEvents(kEventWait);
        control_.deliverEvents();
    }
}

} // namespace vistrel::cli
