// SPDX-License-Identifier: MIT
#include "cli/grid_renderer.h"

#include "cli/terminal_text.h"
#include "cli/terminal_view.h"

#include <algorithm>
#include <utility>

namespace vistrel::cli {
namespace {

constexpr std::string_view kColumnGap = " | ";
// A column is never narrowed below this to make the grid fit.
constexpr std::size_t kNarrowestColumn = 3;

using Widths = std::array<std::size_t, kGridColumnCount>;

std::size_t lineWidth(const Widths& widths) {
    std::size_t total = kColumnGap.size() * (widths.size() - 1);
    for (const auto width : widths) {
        total += width;
    }
    return total;
}

// The names say what a row is: their column (the first) gives up room last.
constexpr std::size_t kNameColumn = 0;

// Column widths that fit the line. The other columns give up a character,
// the widest first, until they fit or reach their least width; then all
// columns do, down to the narrowest, so that every column stays in sight on
// a narrow terminal.
Widths fitted(Widths widths, const Widths& least, std::size_t maxWidth) {
    std::size_t total = lineWidth(widths);
    const auto giveUp = [&](std::size_t first, const auto& leastOf) {
        while (total > maxWidth) {
            std::size_t widest = widths.size();
            for (std::size_t c = first; c < widths.size(); ++c) {
                if (widths[c] > leastOf(c) &&
                    (widest == widths.size() || widths[c] > widths[widest])) {
                    widest = c;
                }
            }
            if (widest == widths.size()) {
                return;
            }
            --widths[widest];
            --total;
        }
    };
    giveUp(kNameColumn + 1, [&](std::size_t c) { return std::max(least[c], kNarrowestColumn); });
    giveUp(kNameColumn, [](std::size_t) { return kNarrowestColumn; });
    return widths;
}

// A bilingual header such as "Nom (Name)" split before its translation, so
// that it can stand on two lines and leave its column no wider than the
// values need.
std::pair<std::string, std::string> stackedHeader(const std::string& header) {
    const auto split = header.find(" (");
    if (split == std::string::npos) {
        return {header, ""};
    }
    return {header.substr(0, split), header.substr(split + 1)};
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
    GridRow header;
    for (std::size_t c = 0; c < columns.size() && c < header.size(); ++c) {
        header[c] = printable(columns[c].header);
    }
    std::vector<GridRow> rows;
    for (const auto& row : view.gridRows()) {
        GridRow shown;
        std::transform(row.begin(), row.end(), shown.begin(), printable);
        for (std::size_t c = 0; c < shown.size(); ++c) {
            widths_[c] = std::max(widths_[c], displayWidth(shown[c]));
        }
        rows.push_back(std::move(shown));
    }

    // The columns take the width of their content. Only when the headers on
    // one line make the grid too wide do they go on two, and only then is
    // content cut, the names last.
    Widths oneLine{};
    Widths headerWidths{};
    for (std::size_t c = 0; c < header.size(); ++c) {
        const auto [top, bottom] = stackedHeader(header[c]);
        oneLine[c] = std::max(widths_[c], displayWidth(header[c]));
        headerWidths[c] = std::max(displayWidth(top), displayWidth(bottom));
    }
    const bool stacked = lineWidth(oneLine) > maxWidth;
    Widths wanted = oneLine;
    if (stacked) {
        std::transform(
            widths_.begin(), widths_.end(), headerWidths.begin(), wanted.begin(),
            [](std::size_t content, std::size_t head) { return std::max(content, head); });
    }
    const auto widths = fitted(wanted, headerWidths, maxWidth);
    std::vector<GridRow> headerRows(stacked ? 2 : 1);
    for (std::size_t c = 0; c < header.size(); ++c) {
        const bool fits = displayWidth(header[c]) <= widths[c];
        const auto [top, bottom] = stackedHeader(header[c]);
        headerRows[0][c] = !stacked || fits ? header[c] : top;
        if (stacked) {
            headerRows[1][c] = fits ? "" : bottom;
        }
    }

    const auto rowLine = [&](const GridRow& row) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const auto alignment =
                c < columns.size() ? columns[c].alignment : CellAlignment::LeftCenter;
            line += c == 0 ? "" : kColumnGap;
            line += aligned(cut(row[c], widths[c]), widths[c], alignment);
        }
        return clipped(line, maxWidth);
    };
    std::vector<std::string> lines;
    lines.push_back(clipped(printable(view.protocolCaption()) +
                                "   Methode: " + printable(view.methodText()) +
                                "   Length size: " + view.lengthSizeText() +
                                "   Session: " + printable(view.sessionText()),
                            maxWidth));
    for (const auto& row : headerRows) {
        lines.push_back(rowLine(row));
    }
    lines.push_back(std::string(displayWidth(lines.back()), '-'));
    for (const auto& row : rows) {
        lines.push_back(rowLine(row));
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
