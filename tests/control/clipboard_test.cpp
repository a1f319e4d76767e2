// SPDX-License-Identifier: MIT
#include "control_fixture.h"

namespace vistrel::testing {
namespace {

using ClipboardTest = ControlTest;

// A text without a single item line keeps the list; a spreadsheet's header
// row is no fault.
TEST_F(ClipboardTest, PasteReplacesTheListByTheValidLines) {
    const std::string rpm = itemLine("01A2B3", 2, "Rpm");
    const std::string temp = itemLine("0A0000", 1, "Temp", "C");
    const std::string kept = "no item lines in the clipboard";
    const struct {
        const char* name;
        std::string text;
        std::vector<std::string> items;
        // Skipped lines are counted in the status bar, with the first reason.
        std::string status = "";
    } cases[] = {
        {"CR LF after each line", rpm + "\r\n" + temp + "\r\n", {"Rpm", "Temp"}},
        {"no line end after the last", rpm + "\r\n" + temp, {"Rpm", "Temp"}},
        {"LF line ends", rpm + "\n" + temp + "\n", {"Rpm", "Temp"}},
        {"a header and a bad address",
         "Address\tLength\r\n" + itemLine("ZZ", 1, "") + "\r\n" + temp,
         {"Temp"},
         "1 ligne(s) ignor\u00E9e(s) (1 line(s) skipped): VistrelItems.addLine : Syntax Address "
         "Error"},
        {"copied values", "Rpm\t1234\r\nTemp\t56\r\n", {"Old"}, kept},
        {"empty clipboard", "", {"Old"}, kept},
        // Text as spreadsheets save it: a byte-order mark, UTF-16, windows-1252.
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + rpm + "\r\n", {"Rpm"}},
        {"UTF-16 with a byte-order mark",
         utf16le("01\t1\tBE+\tT\u00E9\t\t1\t0\t1\tH\t1\r\n"),
         {"T\u00E9"}},
        {"windows-1252", itemLine("01", 1, "T\xE9") + "\r\n", {"T\u00E9"}},
        // A method line is no skipped line but chooses the method.
        {"method line", "Methode\tDynamicallyDefined\t\r\n" + temp, {"Temp"}},
    };
    handOver();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        paste({itemLine("01", 1, "Old")});
        ports.clipboard.content = c.text;
        control.toolbarClick("Paste");
        EXPECT_EQ(ports.view.column(0), c.items);
        EXPECT_EQ(control.items().count(), static_cast<int>(c.items.size()));
        EXPECT_EQ(ports.view.tools({"Start", "Stop", "Rec", "Save"}),
                  "Start:E- Stop:E- Rec:E- Save:E-");
        EXPECT_TRUE(ports.messages.shown.empty());
        EXPECT_EQ(ports.view.panel("Status"), c.status);
    }
    EXPECT_EQ(control.methodChoice(), "DynamicallyDefined");
}

} // namespace
} // namespace vistrel::testing
