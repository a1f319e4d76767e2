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
        view.setGridRows({{"Speed", "", "km/h", "01A000", "2", "Decimal", "FFFF"},
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
        ASSERT_EQ(lines.size(), 6u); // caption, header, rule, two rows, panels
        for (const auto& line : lines) {
            EXPECT_LE(displayWidth(line), width) << line;
        }
        for (const std::size_t row : {1u, 3u, 4u}) {
            EXPECT_EQ(count(lines[row], " | "), 6u) << lines[row];
        }
        EXPECT_NE(lines[3].find("Speed"), std::string::npos);
        EXPECT_NE(lines[5].find("Com: Com"), std::string::npos);
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
