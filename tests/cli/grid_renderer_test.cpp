// SPDX-License-Identifier: MIT
#include "cli/grid_renderer.h"
#include "cli/terminal_text.h"
#include "cli/terminal_view.h"
#include "control/grid_columns.h"

#include <gtest/gtest.h>

namespace vistrel::cli {
namespace {

std::size_t count(const std::string& text, std::string_view part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

// Every column stays in sight on a narrow terminal: headers go on two
// lines. Values align right; names cannot drive the terminal.
TEST(GridRenderer, FitsTheWidthAndKeepsEveryColumn) {
    TerminalView view;
    view.setGridColumns(gridColumns());
    view.setGridRows({{"Coolant temperature", "", "km/h", "01A000", "2", "Decimal", "FFFF"},
                      {"\x1b]0;owned\x07", "", "", "01A002", "1", "Hexadecimal", "FF"}});
    view.setValueColumn({{"12.5"}, {"Execution conditions not set", true}});
    view.setPanelText(panel::kCom, "Com");
    GridRenderer renderer;
    for (const std::size_t width : {200u, 80u, 60u}) {
        SCOPED_TRACE(width);
        const auto lines = renderer.render(view, width);
        // caption, one or two header lines, rule, two rows, panels
        ASSERT_EQ(lines.size(), width == 200 ? 6u : 7u);
        const std::size_t rule = lines.size() - 4;
        for (std::size_t row = 1; row < lines.size() - 1; ++row) {
            EXPECT_LE(displayWidth(lines[row]), width) << lines[row];
            EXPECT_EQ(count(lines[row], " | "), row == rule ? 0u : 6u) << lines[row];
        }
        EXPECT_NE(lines[rule + 1].find("Cool"), std::string::npos);
        EXPECT_EQ(lines[rule + 2].find_first_of("\x1b\x07"), std::string::npos) << lines[rule + 2];
        EXPECT_NE(lines.back().find("Com: Com"), std::string::npos);
    }
    const auto wide = renderer.render(view, 200);
    EXPECT_NE(wide[1].find("Nom (Name)"), std::string::npos) << wide[1];
    EXPECT_NE(wide[3].find(" 12.5 | km/h"), std::string::npos) << wide[3];
    const auto narrow = renderer.render(view, 80);
    EXPECT_NE(narrow[1].find("Affichage"), std::string::npos) << narrow[1];
    EXPECT_NE(narrow[2].find("(Display)"), std::string::npos) << narrow[2];
    for (const std::size_t row : {1u, 2u}) {
        EXPECT_EQ(narrow[row].find("\u2026"), std::string::npos) << narrow[row];
    }
}

// Names are read first and a value cut short is no value: at 80 and 100
// columns an error text gives way to both (a name only up to 24
// characters), and the settings line keeps the session, a long device path
// losing its middle.
TEST(GridRenderer, NamesAndValuesStayWholeBeforeErrorTextsAndPaths) {
    TerminalView view;
    view.setGridColumns(gridColumns());
    view.setProtocolCaption(
        "K-line : /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    view.setSessionText("10");
    view.setGridRows({{"Vehicle identification number", "", "", "01A000", "8", "Hexadecimal",
                       "FFFFFFFFFFFFFFFF"},
                      {"Coolant temperature", "", "°C", "01A008", "1", "Decimal", "FF"}});
    view.setValueColumn({{"5649532D56495354"}, {"Sub function not supported or invalid", true}});
    for (const std::size_t width : {80u, 100u}) {
        SCOPED_TRACE(width);
        const auto lines = GridRenderer().render(view, width);
        EXPECT_NE(lines[0].find("Session: 10"), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find("if00-port0   Methode"), std::string::npos) << lines[0];
        EXPECT_LE(displayWidth(lines[0]), width);
        EXPECT_NE(lines[4].find("Vehicle identification \u2026 | 5649532D56495354 |"),
                  std::string::npos)
            << lines[4];
        EXPECT_NE(lines[4].find(" 01A000 "), std::string::npos) << lines[4];
        EXPECT_NE(lines[5].find("Coolant temperature"), std::string::npos) << lines[5];
        EXPECT_NE(lines[5].find("| Sub function no\u2026 |"), std::string::npos) << lines[5];
    }
}

} // namespace
} // namespace vistrel::cli
