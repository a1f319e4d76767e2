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

    const std::string saved = fileBytes(path);
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
    // no list: saving a half-loaded list over its file would drop the items
    // after the fault without a word.
    const std::string broken = directory.file("broken.xml");
    std::ofstream(broken) << "<Vistrel Version=\"1,0\"><Datas>"
                             "<Data><address>01A2B3</address><length>2</length></Data>"
                             "<Data><address>0A0000</address><length>x1</length></Data>"
                             "</Datas></Vistrel>";
    const std::pair<std::string, std::string> opens[] = {
        {directory.file("missing.xml"), "erreur load 1 0 File was not found"},
        {broken, "Type mismatch: length (x1) is not a whole number"},
    };
    for (const auto& [path, text] : opens) {
        SCOPED_TRACE(path);
        pasteTwoItems();
        ports.messages.shown.clear();
        ports.dialogs.answer = path;
        control.toolbarClick("Open");
        ASSERT_EQ(ports.messages.shown.size(), 1U);
        EXPECT_EQ(ports.messages.shown[0].title, "vistrel");
        EXPECT_EQ(ports.messages.shown[0].text, text);
        EXPECT_EQ(control.items().count(), 0);
        EXPECT_TRUE(ports.view.rows.empty());
        EXPECT_EQ(ports.view.tools({"Start", "Save"}), "Start:-- Save:--");
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

} // namespace
} // namespace vistrel::testing
