// SPDX-License-Identifier: MIT
#pragma once

#include "control/vistrel_control.h"
#include "fake_ports.h"
#include "fakes/scratch_directory.h"
#include "fakes/stepped_protocol.h"
#include "fakes/text_files.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace vistrel::testing {

// An item line of the paste syntax, shown in hexadecimal so that a reply's
// value bytes read back as they were sent.
inline std::string itemLine(const std::string& address, int length, const std::string& name,
                            const std::string& unit = "") {
    return address + "\t" + std::to_string(length) + "\tBE+\t" + name + "\t" + unit +
           "\t1\t0\t1\tH\t1";
}

// A batch processor that answers every "r" element from a table, or marks
// the whole exchange failed; it keeps a copy of the last document it got.
class FakeCanXml : public CanXmlProcessor {
public:
    std::map<std::string, std::string> replies; // "c" attribute -> reply frame (PCI first)
    std::string failure;                        // text of an "e" element when not empty
    pugi::xml_document received;                // as handed over
    int executions = 0;
    // When set, each batch is one call the test lets through.
    SteppedProtocol* gate = nullptr;

    void CanXmlExecute(pugi::xml_document& document) override {
        if (gate != nullptr) {
            gate->pass();
        }
        ++executions;
        received.reset(document);
        if (!failure.empty()) {
            document.document_element().append_child("e").text().set(failure.c_str());
            return;
        }
        for (const auto& r : document.select_nodes("//r")) {
            const auto found = replies.find(r.node().attribute("c").value());
            if (found != replies.end()) {
                r.node().append_child("d").text().set(found->second.c_str());
            }
        }
    }
};

// A control on fake ports and a stepped protocol, with the list
// [Rpm 01A2B3 length 2, Temp 0A0000 length 1 unit C].
class ControlTest : public ::testing::Test {
protected:
    ControlTest() { ports.platform.directory = directory.path().string(); }
    // The engine must not wait for a permit that never comes.
    ~ControlTest() override { protocol->openGate(); }

    void handOver() { control.setProtocol(protocol); }

    void paste(const std::vector<std::string>& lines) {
        ports.clipboard.content.clear();
        for (const auto& line : lines) {
            ports.clipboard.content += line + "\r\n";
        }
        control.toolbarClick("Paste");
    }
    void pasteTwoItems() {
        paste({itemLine("01A2B3", 2, "Rpm"), itemLine("0A0000", 1, "Temp", "C")});
    }

    // Hands over the protocol, pastes the two items and presses Start; the
    // engine then waits in the opening.
    void startTwoItems() {
        handOver();
        pasteTwoItems();
        control.toolbarClick("Start");
        settle();
    }
    // The session exchange and two good item replies, queued.
    void scriptGoodCycle(const std::string& rpm = "631234", const std::string& temp = "6356") {
        protocol->reply("50A0");
        protocol->reply(rpm);
        protocol->reply(temp);
    }
    // Lets n protocol calls through and shows what followed.
    void calls(int n) {
        protocol->allow(n);
        settle();
    }
    // Both items answer the next read.
    void goodRead() {
        protocol->reply("631234");
        protocol->reply("6356");
        calls(2);
    }
    // Shows the engine's events until it waits inside a call, or has been
    // quiet for a while (idle, halted).
    void settle() {
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + seconds(5);
        auto quietSince = steady_clock::now();
        while (steady_clock::now() < deadline) {
            if (!control.deliverEvents().empty()) {
                quietSince = steady_clock::now();
                continue;
            }
            if (protocol->waiting() && !control.waitForEvents(milliseconds(2))) {
                control.deliverEvents();
                return;
            }
            if (steady_clock::now() - quietSince > milliseconds(50)) {
                return;
            }
            control.waitForEvents(milliseconds(2));
        }
        ADD_FAILURE() << "the engine did not settle";
    }
    void pressRec() { control.toolbarClick("Rec"); }

    ScratchDirectory directory;
    FakePorts ports;
    // Outlives the control, whose engine may be inside a batch.
    FakeCanXml batch;
    std::shared_ptr<SteppedProtocol> protocol = std::make_shared<SteppedProtocol>();
    VistrelControl control{ports.ports(), NumberFormat::invariant()};
};

} // namespace vistrel::testing
