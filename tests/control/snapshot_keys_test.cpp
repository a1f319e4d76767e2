// SPDX-License-Identifier: MIT
#include "control_fixture.h"

#include <filesystem>

namespace vistrel::testing {
namespace {

// Shift states of a released key.
constexpr int kShift = 1;
constexpr int kCtrlAlt = 2 | 4;

class SnapshotTest : public ControlTest {
protected:
    std::string snapshotPath() const { return directory.file("snapshotvistrel.xml"); }
};

TEST_F(SnapshotTest, HiddenKeysAnswerOnlyToExactlyCtrlAlt) {
    const std::string version = "Vistrel Version : 1.3.4\r\n\r\nCtrl+Alt+V : Snapshot enable ";
    const struct {
        int key;
        int shift;
        std::string message; // "title: text", "" for none
    } cases[] = {
        {'H', kCtrlAlt, "Vistrel hidden function: " + version + "(False)"},
        {'V', kCtrlAlt, "Current state: Snapshot next read = True"},
        {'V', kCtrlAlt | kShift, ""},
        {'V', 2, ""},
        {'W', kCtrlAlt, ""},
        {'H', kCtrlAlt, "Vistrel hidden function: " + version + "(True)"},
        {'V', kCtrlAlt, "Current state: Snapshot next read = False"},
    };
    for (const auto& c : cases) {
        ports.messages.shown.clear();
        control.keyUp(c.key, c.shift);
        std::string shown;
        for (const auto& [text, title] : ports.messages.shown) {
            shown += title + ": " + text;
        }
        EXPECT_EQ(shown, c.message) << c.key << " " << c.shift;
    }
    EXPECT_FALSE(control.snapshotArmed());
}

TEST_F(SnapshotTest, ArmedBeforeAFailingReadItIsSavedAfterTheNextGoodOne) {
    control.keyUp('V', kCtrlAlt); // armed while idle
    handOver();
    paste({itemLine("01A2B3", 2, "Temp\xC3\xA9rature"), itemLine("0A0000", 1, "R\xCE\xA9")});
    control.toolbarClick("Start");
    protocol->reply("50A0");
    calls(4); // open, session, a read where every item times out
    EXPECT_EQ(control.cycleState(), CyclePhase::OpenCommunication);
    EXPECT_TRUE(control.snapshotArmed());
    EXPECT_FALSE(std::filesystem::exists(snapshotPath()));

    protocol->reply("50A0");
    calls(2);
    goodRead();
    EXPECT_FALSE(control.snapshotArmed());
    // Only the good read's records; names outside the code page are kept as
    // character references.
    EXPECT_EQ(readFile(snapshotPath()),
              "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<snapshot>\n"
              "\t<data name=\"Temp\xE9rature\" addr=\"01A2B3\" send=\"2301A2B302\" "
              "receive=\"631234\" value=\"1234\" />\n"
              "\t<data name=\"R&#937;\" addr=\"0A0000\" send=\"230A000001\" receive=\"6356\" "
              "value=\"56\" />\n</snapshot>\n");

    // One arming, one snapshot.
    std::filesystem::remove(snapshotPath());
    goodRead();
    EXPECT_FALSE(std::filesystem::exists(snapshotPath()));

    // A snapshot that cannot be saved is dropped and the cycle goes on.
    ports.platform.directory = directory.file("no-such-folder");
    control.keyUp('V', kCtrlAlt);
    goodRead(); // the read in flight when armed
    goodRead();
    EXPECT_FALSE(control.snapshotArmed());
    EXPECT_EQ(control.cycleState(), CyclePhase::Run);
    EXPECT_TRUE(protocol->waiting());
    EXPECT_EQ(ports.view.valueColumn(), (std::vector<std::string>{"1234", "56"}));
}

} // namespace
} // namespace vistrel::testing
