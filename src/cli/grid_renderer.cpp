#include "cli/grid_renderer.h"

#include "cli/terminal_text.h"
#include "cli/terminal_view.h"

#include <algorithm>

namespace vistrel::cli {
namespace {

constexpr std::string_view kColumnGap = " | ";
// A column is never narrowed below this to make the grid fit.
constexpr std::size_t kNarrowestColumn = 3;

// Column widths that fit the line: the widest column gives up a character
// until all fit, so that every column stays in sight on a narrow terminal.
std::array<std::size_t, kGridColumnCount> fitted(std::array<std::size_t, kGridColumnCount> widths,
                                                 std::size_t maxWidth) {
    std::size_t total = kColumnGap.size() * (widths.size() - 1);
    for (const auto width : widths) {
        total += width;
    }
    while (total > maxWidth) {
        const auto widest = std::max_element(widths.begin(), widths.end());
        if (*widest <= kNarrowestColumn) {
            break;
        }
        --*widest;
        --total;
    }
    return widths;
}

// A cell's text cut to the width, the cut shown by an ellipsis.
std::string cut(const std::string& text, std::size_t width) {
    if (displayWidth(text) <= width) {
        return text;
    }
    return std::string(firstCharacters(text, width - 1)) + "\u2026";
}

std::string aligned(const std::string& text, std::size_t width, CellAlignment alignment) {
    const std::size_t room = width - std::min(width, displayWidth(text));
    std::size_t before = 0;
    if (alignment == CellAlignment::RightCenter) {
        before = room;
    } else if (alignment == CellAlignment::Center) {
        before = room / 2;
    }
    return std::string(before, ' ') + text + std::string(room - before, ' ');
}

std::string clipped(const std::string& line, std::size_t maxWidth) {
    return std::string(firstCharacters(line, maxWidth));
}

} // namespace

std::vector<std::string> GridRenderer::render(const TerminalView& view, std::size_t maxWidth) {
    const auto& columns = view.gridColumns();
    std::vector<GridRow> table;
    GridRow header;
    for (std::size_t c = 0; c < columns.size() && c < header.size(); ++c) {
        header[c] = printable(columns[c].header);
    }
    table.push_back(header);
    for (const auto& row : view.gridRows()) {
        GridRow shown;
        std::transform(row.begin(), row.end(), shown.begin(), printable);
        table.push_back(std::move(shown));
    }
    for (const auto& row : table) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths_[c] = std::max(widths_[c], displayWidth(row[c]));
        }
    }

    const auto widths = fitted(widths_, maxWidth);
    std::vector<std::string> lines;
    lines.push_back(clipped(printable(view.protocolCaption()) +
                                "   Methode: " + printable(view.methodText()) +
                                "   Length size: " + view.lengthSizeText() +
                                "   Session: " + printable(view.sessionText()),
                            maxWidth));
    for (std::size_t r = 0; r < table.size(); ++r) {
        std::string line;
        for (std::size_t c = 0; c < table[r].size(); ++c) {
            const auto alignment =
                c < columns.size() ? columns[c].alignment : CellAlignment::LeftCenter;
            line += c == 0 ? "" : kColumnGap;
            line += aligned(cut(table[r][c], widths[c]), widths[c], alignment);
        }
        lines.push_back(clipped(line, maxWidth));
        if (r == 0) {
            lines.push_back(clipped(std::string(displayWidth(line), '-'), maxWidth));
        }
    }
    std::string panels;
    for (const auto key : {panel::kStatus, panel::kRun, panel::kRec, panel::kCom}) {
        panels += panels.empty() ? "" : kColumnGap;
        panels += std::string(key) + ": " + printable(view.panelText(key));
    }
    lines.push_back(clipped(panels, maxWidth));
    return lines;
}

std::string redrawInPlace(const std::vector<std::string>& lines) {
    std::string out = "\x1b[H";
    for (const auto& line : lines) {
        out += line;
        out += "\x1b[K\n";
    }
    out += "\x1b[J";
    return out;
}

} // namespace vistrel::cli
