// SPDX-License-Identifier: MIT
#pragma once

#include "control/vistrel_control.h"
#include "fake_ports.h"
#include "fakes/scratch_directory.h"
#include "fakes/scripted_protocol.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
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

// The bytes of a file; "" for one that cannot be read.
inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A batch processor that answers every "r" element from a table, or marks
// the whole exchange failed; it keeps a copy of the last document it got.
class FakeCanXml : public CanXmlProcessor {
public:
    std::map<std::string, std::string> replies; // "c" attribute -> reply frame (PCI first)
    std::string failure;                        // text of an "e" element when not empty
    pugi::xml_document received;                // as handed over
    int executions = 0;

    void CanXmlExecute(pugi::xml_document& document) override {
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

// A protocol that runs a command inside its next opening or exchange, as a
// link does when it lets the event loop run while it waits on the line.
template <class Base> class Hooked : public Base {
public:
    using Base::Base;
    std::function<void()> duringNextInit;
    std::function<void()> duringNextExchange;

    void InitCommunication() override {
        runOnce(duringNextInit);
        Base::InitCommunication();
    }
    void SendReceive(const ByteString& request, ByteString& reply) override {
        runOnce(duringNextExchange);
        Base::SendReceive(request, reply);
    }

private:
    static void runOnce(std::function<void()>& hook) {
        if (hook) {
            std::exchange(hook, nullptr)();
        }
    }
};
using HookedProtocol = Hooked<ScriptedProtocol>;

// A control on fake ports and a scripted protocol, with the list
// [Rpm 01A2B3 length 2, Temp 0A0000 length 1 unit C].
class ControlTest : public ::testing::Test {
protected:
    ControlTest() { ports.platform.directory = directory.path().string(); }

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

    // Hands over the protocol, pastes the two items and presses Start.
    void startTwoItems() {
        handOver();
        pasteTwoItems();
        control.toolbarClick("Start");
    }
    // The session exchange and two good item replies, queued.
    void scriptGoodCycle(const std::string& rpm = "631234", const std::string& temp = "6356") {
        protocol->reply("50A0");
        protocol->reply(rpm);
        protocol->reply(temp);
    }
    // Both items answer the read of the next tick.
    void goodRead() {
        protocol->reply("631234");
        protocol->reply("6356");
        ticks(1);
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            control.tick();
        }
    }
    void pressRec() { control.toolbarClick("Rec"); }

    ScratchDirectory directory;
    FakePorts ports;
    std::shared_ptr<HookedProtocol> protocol = std::make_shared<HookedProtocol>();
    VistrelControl control{ports.ports(), NumberFormat::invariant()};
};

} // namespace vistrel::testing
