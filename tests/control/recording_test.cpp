// SPDX-License-Identifier: MIT
#include "control/recording_format.h"
#include "control_fixture.h"
#include "engine/code_page.h"

namespace vistrel::testing {
namespace {

TEST(RecordingFormat, TimeColumnRoundsHalvesToTheEvenHundredth) {
    const struct {
        std::int64_t milliseconds;
        const char* text;
    } cases[] = {
        {0, " 0"},      {2000, " 2"},    {12500, " 12.5"}, {63040, " 63.04"},
        {350, " 0.35"}, {5, " 0"},       {15, " 0.02"},    {25, " 0.02"},
        {1005, " 1"},   {1015, " 1.02"}, {99995, " 100"},  {-1500, "-1.5"},
        {-4, " 0"},     {-5, " 0"},      {-15, "-0.02"},   {4294967, " 4294.97"},
    };
    for (const auto& c : cases) {
        std::string line;
        appendRecordingTime(line, c.milliseconds);
        EXPECT_EQ(line, c.text) << c.milliseconds;
    }
}

TEST(CodePage, Windows1252WithAStandInForWhatItLacks) {
    using Mode = Windows1252Encoder::Unrepresentable;
    const struct {
        std::string_view utf8;
        Mode mode;
        std::string_view bytes;
    } cases[] = {
        {"time\t12.5", Mode::QuestionMark, "time\t12.5"},
        {"\xC2\xB5s \xE2\x82\xAC", Mode::QuestionMark, "\xB5s \x80"},
        {"Temp\xC3\xA9rature", Mode::QuestionMark, "Temp\xE9rature"},
        {"R \xCE\xA9 x", Mode::QuestionMark, "R ? x"},
        {"R \xCE\xA9 x", Mode::XmlCharacterReference, "R &#937; x"},
        {"\xF0\x9F\x9A\x97!", Mode::XmlCharacterReference, "&#128663;!"},
        {"bad \xFF byte", Mode::QuestionMark, "bad ? byte"},
        {"cut \xC3", Mode::XmlCharacterReference, "cut ?"},
    };
    for (const auto& c : cases) {
        Windows1252Encoder encoder(c.mode);
        EXPECT_EQ(encoder.encode(c.utf8), c.bytes) << c.utf8;
    }
}

class RecordingTest : public ControlTest {
protected:
    std::string expectedPath() const { return directory.file("vistrel_4-12-26__07h05mn09.txt"); }
    // What the user sees of a recording: the Rec button, the Status and Rec panels.
    std::string recShows() const {
        return ports.view.tools({"Rec"}) + " " + ports.view.panelLine({"Status", "Rec"});
    }
};

TEST_F(RecordingTest, RecWritesAHeaderAndOneLinePerGoodRead) {
    handOver();
    paste({itemLine("01A2B3", 2, "Rpm"), itemLine("0A0000", 1, "Time", "\xC2\xB5s")});
    ports.platform.clock = 100000;
    pressRec();
    EXPECT_EQ(ports.platform.wallClockReadings, 1);
    EXPECT_TRUE(control.recording());
    EXPECT_EQ(control.recordFileName(), expectedPath());
    EXPECT_EQ(recShows(), "Rec:EP vistrel_4-12-26__07h05mn09.txt|REC");
    std::string expected = "time\t\"Rpm\"\t\"Time(\xB5s)\"\r\n";
    EXPECT_EQ(readFile(expectedPath()), expected);

    control.toolbarClick("Start");
    settle();
    protocol->reply("50A0");
    calls(2);
    ports.platform.clock = 102000;
    goodRead();
    // Written through at once, while the file is still open.
    expected += " 2\t1234\t56\r\n";
    EXPECT_EQ(readFile(expectedPath()), expected);
    calls(2); // a failed read writes nothing
    protocol->reply("50A0");
    calls(2);
    ports.platform.clock = 163040;
    goodRead();
    expected += " 63.04\t1234\t56\r\n";
    EXPECT_EQ(readFile(expectedPath()), expected);

    pressRec();
    EXPECT_FALSE(control.recording());
    EXPECT_EQ(recShows(), "Rec:E- | ");
    goodRead();
    EXPECT_EQ(readFile(expectedPath()), expected);
}

TEST_F(RecordingTest, RecInTheSameSecondContinuesTheFileAndOneThatCannotOpenIsReleased) {
    handOver();
    pasteTwoItems();
    pressRec();
    pressRec();
    pressRec();
    const std::string header = "time\t\"Rpm\"\t\"Temp(C)\"\r\n";
    EXPECT_EQ(readFile(expectedPath()), header + header);

    // A file that cannot be opened releases the button without a word.
    pressRec();
    ports.platform.directory = directory.file("no-such-folder");
    ports.view.panels["Status"] = ports.view.panels["Rec"] = "before";
    pressRec();
    EXPECT_FALSE(control.recording());
    EXPECT_EQ(recShows(), "Rec:E- before|before");
    EXPECT_TRUE(ports.messages.shown.empty());
}

// A file never mixes two lists: a new list closes it and the recording goes
// on in a file of its own with the new header.
TEST_F(RecordingTest, ANewListWhileRecordingGoesToANewFile) {
    startTwoItems();
    pressRec();
    scriptGoodCycle();
    calls(4);
    control.toolbarClick("Stop");
    calls(1);
    pressRec();
    paste({itemLine("0B0000", 1, "Other")});
    EXPECT_TRUE(control.recording());
    const std::string second = directory.file("vistrel_4-12-26__07h05mn09-2.txt");
    EXPECT_EQ(control.recordFileName(), second);
    EXPECT_EQ(readFile(expectedPath()),
              "time\t\"Rpm\"\t\"Temp(C)\"\r\n 0\t1234\t56\r\ntime\t\"Rpm\"\t\"Temp(C)\"\r\n");
    EXPECT_EQ(readFile(second), "time\t\"Other\"\r\n");
}

} // namespace
} // namespace vistrel::testing
