// SPDX-License-Identifier: MIT
#include "control_fixture.h"

#include <fstream>

namespace vistrel::testing {
namespace {

using ConfigDialogTest = ControlTest;

TEST_F(ConfigDialogTest, SaveTakesTheFieldsAsShownOpenBringsThemBackCancelChangesNothing) {
    handOver();
    pasteTwoItems();
    control.chooseMethod("DynamicallyDefined");
    control.chooseLengthSize(2);
    control.editSessionText("1081");
    const std::string path = directory.file("list.xml");
    ports.dialogs.answer = path;
    control.toolbarClick("Save");

    const std::string saved = readFile(path);
    for (const char* field : {"<Method>1</Method>", "<LengthSize>2</LengthSize>",
                              "<StartSession>1081</StartSession>"}) {
        EXPECT_NE(saved.find(field), std::string::npos) << saved;
    }
    EXPECT_EQ(control.StartSession(), "1081");
    EXPECT_EQ(ports.view.pointerHistory,
              (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));

    // Different fields and list, then open what was saved.
    paste({itemLine("0B0000", 1, "Other")});
    control.chooseMethod("ReadMemoryByAddress");
    control.chooseLengthSize(1);
    control.editSessionText("10A0");
    control.toolbarClick("Open");
    EXPECT_EQ(ports.view.column(0), (std::vector<std::string>{"Rpm", "Temp"}));
    EXPECT_EQ(ports.view.methodBoxText + "|" + ports.view.lengthSize + "|" + ports.view.session,
              "DynamicallyDefined|2 bytes|1081");
    EXPECT_EQ(control.StartSession(), "1081");
    EXPECT_EQ(ports.view.tools({"Start"}), "Start:E-");
    EXPECT_TRUE(ports.messages.shown.empty());

    // A cancelled dialog changes nothing.
    const auto rows = ports.view.rows;
    ports.view.pointerHistory.clear();
    ports.dialogs.answer.reset();
    control.toolbarClick("Open");
    control.toolbarClick("Save");
    EXPECT_EQ(ports.view.rows, rows);
    EXPECT_TRUE(ports.view.pointerHistory.empty());
}

TEST_F(ConfigDialogTest, FailuresReachTheUserInAMessageBox) {
    handOver();
    pasteTwoItems();
    ports.dialogs.answer = directory.file("no-such-folder/list.xml");
    control.toolbarClick("Save");
    ASSERT_EQ(ports.messages.shown.size(), 1U);
    EXPECT_EQ(ports.messages.shown[0].title, "vistrel");
    EXPECT_FALSE(ports.messages.shown[0].text.empty());
    EXPECT_EQ(ports.view.pointerHistory.back(), MousePointer::Default);

    // A file the list cannot read, or one that stops loading half-way, leaves
    // the list and the settings exactly as they were.
    const std::string broken = directory.file("broken.xml");
    std::ofstream(broken) << "<Vistrel Version=\"1,0\"><Datas>"
                             "<Data><address>01A2B3</address><length>2</length></Data>"
                             "<Data><address>0A0000</address><length>x1</length></Data>"
                             "</Datas></Vistrel>";
    const std::pair<std::string, std::string> opens[] = {
        {directory.file("missing.xml"), "erreur load 1 0 File was not found"},
        {broken, "Type mismatch: length (x1) is not a whole number"},
    };
    control.chooseMethod("DynamicallyDefinedPacked");
    control.toolbarClick("Start");
    for (const auto& [path, text] : opens) {
        SCOPED_TRACE(path);
        ports.messages.shown.clear();
        ports.dialogs.answer = path;
        settle();
        control.toolbarClick("Open");
        ASSERT_EQ(ports.messages.shown.size(), 1U);
        EXPECT_EQ(ports.messages.shown[0].title, "vistrel");
        EXPECT_EQ(ports.messages.shown[0].text, text);
        EXPECT_EQ(ports.view.column(0), (std::vector<std::string>{"Rpm", "Temp"}));
        EXPECT_EQ(ports.view.methodBoxText, "DynamicallyDefinedPacked");
        EXPECT_EQ(ports.view.tools({"Start", "Stop", "Save"}), "Start:EP Stop:E- Save:E-");
    }
}

// What opening another list or quitting would lose: a paste or an edited
// setting since the last open or save; a failed save keeps it.
TEST_F(ConfigDialogTest, ListChangedFromPasteOrEditUntilSaved) {
    handOver();
    ports.dialogs.answer = directory.file("list.xml");
    const std::function<void()> edits[] = {
        [&] { pasteTwoItems(); }, [&] { control.chooseMethod("DynamicallyDefined"); },
        [&] { control.chooseLengthSize(2); }, [&] { control.editSessionText("1081"); }};
    for (const auto& edit : edits) {
        edit();
        EXPECT_TRUE(control.listChanged());
        control.toolbarClick("Save");
        EXPECT_FALSE(control.listChanged());
    }
    pasteTwoItems();
    ports.dialogs.answer = directory.file("no-such-folder/list.xml");
    control.toolbarClick("Save");
    EXPECT_TRUE(control.listChanged());
}

// Open while running: the exchange in flight ends, and the cycle goes on
// with the new list from opening the communication.
TEST_F(ConfigDialogTest, OpenWhileRunningReadsTheNewListAndTheToolsStayTrue) {
    handOver();
    paste({itemLine("0B0000", 1, "Other")});
    const std::string path = directory.file("two.xml");
    ports.dialogs.answer = path;
    pasteTwoItems();
    control.toolbarClick("Save");
    paste({itemLine("0B0000", 1, "Other")});
    control.toolbarClick("Start");
    settle();
    control.toolbarClick("Open");
    scriptGoodCycle();
    calls(5); // the opening in flight, then the new list's opening, session and read
    EXPECT_EQ(ports.view.valueColumn(), (std::vector<std::string>{"1234", "56"}));
    EXPECT_EQ(control.cycleState(), CyclePhase::Run);
    EXPECT_EQ(ports.view.tools({"Start", "Stop", "Paste"}), "Start:EP Stop:E- Paste:--");
}

} // namespace
} // namespace vistrel::testing
