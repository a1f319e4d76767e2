// SPDX-License-Identifier: MIT
#include "control_fixture.h"

#include <fstream>

namespace vistrel::testing {
namespace {

using ConfigDialogTest = ControlTest;

TEST_F(ConfigDialogTest, SaveTakesTheFieldsAsShownAndOpenBringsThemBack) {
    handOver();
    pasteTwoItems();
    control.chooseMethod("DynamicallyDefined");
    control.chooseLengthSize(2);
    control.editSessionText("1081");
    ports.view.pointer = MousePointer::Default;
    const std::string path = directory.file("list.xml");
    ports.dialogs.answer = path;
    control.toolbarClick("Save");

    const std::string saved = fileBytes(path);
    EXPECT_NE(saved.find("<Method>1</Method>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<LengthSize>2</LengthSize>"), std::string::npos);
    EXPECT_NE(saved.find("<StartSession>1081</StartSession>"), std::string::npos);
    EXPECT_EQ(control.StartSession(), "1081");
    EXPECT_EQ(ports.view.pointerHistory,
              (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));

    // Different fields and list, then open what was saved.
    paste({itemLine("0B0000", 1, "Other")});
    control.chooseMethod("ReadMemoryByAddress");
    control.chooseLengthSize(1);
    control.editSessionText("10A0");
    control.toolbarClick("Open");
    EXPECT_EQ(ports.view.rows.size(), 2U);
    EXPECT_EQ(ports.view.rows[0][0], "Rpm");
    EXPECT_EQ(ports.view.rows[1][0], "Temp");
    EXPECT_EQ(ports.view.methodBoxText, "DynamicallyDefined");
    EXPECT_EQ(ports.view.selectedLengthSizeLabel(), "2 bytes");
    EXPECT_EQ(ports.view.session, "1081");
    EXPECT_EQ(control.StartSession(), "1081");
    EXPECT_TRUE(ports.view.button("Start").enabled);
    EXPECT_TRUE(ports.messages.shown.empty());
}

TEST_F(ConfigDialogTest, CancelChangesNothing) {
    handOver();
    pasteTwoItems();
    const auto rows = ports.view.rows;
    ports.dialogs.answer.reset();
    control.toolbarClick("Open");
    control.toolbarClick("Save");
    EXPECT_EQ(control.items().count(), 2);
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
    EXPECT_EQ(ports.view.pointer, MousePointer::Default);

    // The list reports a file it cannot read itself, and is left empty.
    ports.dialogs.answer = directory.file("missing.xml");
    control.toolbarClick("Open");
    ASSERT_EQ(ports.messages.shown.size(), 2U);
    EXPECT_EQ(ports.messages.shown[1].text.rfind("erreur load ", 0), 0U);
    EXPECT_EQ(control.items().count(), 0);
    EXPECT_FALSE(ports.view.button("Start").enabled);
}

TEST_F(ConfigDialogTest, AFileThatStopsLoadingHalfWayLeavesNoList) {
    const std::string path = directory.file("broken.xml");
    std::ofstream(path)
        << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<Vistrel Version=\"1,0\"><Datas>"
           "<Data><address>01A2B3</address><length>2</length><name>Rpm</name></Data>"
           "<Data><address>0A0000</address><length>x1</length><name>Bad</name></Data>"
           "<Data><address>0B0000</address><length>1</length><name>Late</name></Data>"
           "</Datas></Vistrel>";
    handOver();
    ports.dialogs.answer = path;
    control.toolbarClick("Open");
    ASSERT_EQ(ports.messages.shown.size(), 1U);
    EXPECT_EQ(ports.messages.shown[0].title, "vistrel");
    // Saving a half-loaded list over its file would drop the items after
    // the fault without a word.
    EXPECT_EQ(control.items().count(), 0);
    EXPECT_TRUE(ports.view.rows.empty());
    EXPECT_FALSE(ports.view.button("Save").enabled);
}

} // namespace
} // namespace vistrel::testing
