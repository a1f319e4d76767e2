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

class GridRendererTest : public ::testing::Test {
protected:
    GridRendererTest() {
        view.setGridColumns(gridColumns());
        view.setGridRows({{"Coolant temperature", "", "km/h", "01A000", "2", "Decimal", "FFFF"},
                          {"\x1b]0;owned\x07", "", "", "01A002", "1", "Hexadecimal", "FF"}});
        view.setValueColumn({"12.5", "Execution conditions not set"});
        view.setPanelText(panel::kCom, "Com");
    }
    TerminalView view;
    GridRenderer renderer;
};

TEST_F(GridRendererTest, EveryColumnStaysInSightOnANarrowTerminal) {
    for (const std::size_t width : {200u, 80u, 60u}) {
        const auto lines = renderer.render(view, width);
        // caption, one or two header lines, rule, two rows, panels
        ASSERT_GE(lines.size(), 6u);
        const std::size_t rule = lines.size() - 4;
        for (std::size_t row = 1; row < lines.size() - 1; ++row) {
            EXPECT_LE(displayWidth(lines[row]), width) << lines[row];
            EXPECT_EQ(count(lines[row], " | "), row == rule ? 0u : 6u) << lines[row];
        }
        EXPECT_NE(lines[rule + 1].find("Cool"), std::string::npos);
        EXPECT_NE(lines.back().find("Com: Com"), std::string::npos);
    }
}

TEST_F(GridRendererTest, HeadersGoOnTwoLinesAndNamesStayWholeBeforeValuesAreCut) {
    const auto wide = renderer.render(view, 200);
    EXPECT_EQ(wide.size(), 6u);
    EXPECT_NE(wide[1].find("Nom (Name)"), std::string::npos) << wide[1];

    const auto narrow = renderer.render(view, 80);
    ASSERT_EQ(narrow.size(), 7u);
    EXPECT_NE(narrow[1].find("Affichage"), std::string::npos) << narrow[1];
    EXPECT_NE(narrow[2].find("(Display)"), std::string::npos) << narrow[2];
    for (const std::size_t row : {1u, 2u, 4u}) {
        EXPECT_EQ(narrow[row].find("\u2026"), std::string::npos) << narrow[row];
    }
}

TEST_F(GridRendererTest, ValuesAlignRightAndNamesCannotDriveTheTerminal) {
    const auto lines = renderer.render(view, 200);
    EXPECT_NE(lines[3].find(" 12.5 | km/h"), std::string::npos) << lines[3];
    EXPECT_EQ(lines[4].find('\x1b'), std::string::npos) << lines[4];
    EXPECT_EQ(lines[4].find('\x07'), std::string::npos) << lines[4];
}

} // namespace
} // namespace vistrel::cli
