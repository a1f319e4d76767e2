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
// The caption keeps this much however narrow the terminal.
constexpr std::size_t kCaptionLeast = 12;

using Widths = std::array<std::size_t, kGridColumnCount>;

std::size_t lineWidth(const Widths& widths) {
    std::size_t total = kColumnGap.size() * (widths.size() - 1);
    for (const auto width : widths) {
        total += width;
    }
    return total;
}

constexpr std::size_t kNameColumn = 0;
constexpr std::size_t kValueColumn = 1;
constexpr std::size_t kDisplayColumn = 5;
constexpr std::size_t kMaskColumn = 6;
// Names up to this long are shown whole before an error text takes room.
constexpr std::size_t kNamesWhole = 24;
// The names give way after the details, but not below what still tells
// most names apart.
constexpr std::size_t kNamesKeep = 8;

// Column widths that fit the line. Names are what people read first, and a
// value cut short is no value, while an error text says enough when cut. So
// the columns give up characters in this order: a name's tail beyond 24
// characters; error texts, down to the longest value; the details (unit,
// address, length, display, mask), the widest first, down to their headers;
// the display and the mask further, then the other details; the names down
// to a readable stem; the values; then every column down to the narrowest,
// so that each stays in sight on a narrow terminal.
Widths fitted(Widths widths, const Widths& headers, std::size_t longestValue,
              std::size_t maxWidth) {
    std::size_t total = lineWidth(widths);
    const auto giveUp = [&](auto gives, auto leastOf) {
        while (total > maxWidth) {
            std::size_t widest = widths.size();
            for (std::size_t c = 0; c < widths.size(); ++c) {
                if (gives(c) && widths[c] > leastOf(c) &&
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
    const auto header = [&](std::size_t c) { return std::max(headers[c], kNarrowestColumn); };
    const auto narrowest = [](std::size_t) { return kNarrowestColumn; };
    const auto isName = [](std::size_t c) { return c == kNameColumn; };
    const auto isValue = [](std::size_t c) { return c == kValueColumn; };
    const auto isDetail = [](std::size_t c) { return c != kNameColumn && c != kValueColumn; };
    giveUp(isName, [&](std::size_t c) { return std::max(header(c), kNamesWhole); });
    giveUp(isValue, [&](std::size_t c) { return std::max(header(c), longestValue); });
    giveUp(isDetail, header);
    giveUp([](std::size_t c) { return c == kDisplayColumn || c == kMaskColumn; }, narrowest);
    giveUp(isDetail, narrowest);
    giveUp(isName, [&](std::size_t c) { return std::max(header(c), kNamesKeep); });
    giveUp(isValue, header);
    giveUp([](std::size_t) { return true; }, narrowest);
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
        if (!view.valueFailed(rows.size())) {
            longestValue_ = std::max(longestValue_, displayWidth(shown[kValueColumn]));
        }
        rows.push_back(std::move(shown));
    }

    // The columns take the width of their content. Only when the headers on
    // one line make the grid too wide do they go on two, and only then is
    // content cut.
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
    const auto widths = fitted(wanted, headerWidths, longestValue_, maxWidth);
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
    // The settings stay whole; a long caption (a device path) gives up its
    // middle.
    const std::string settings = "   Methode: " + printable(view.methodText()) +
                                 "   Length size: " + view.lengthSizeText() +
                                 "   Session: " + printable(view.sessionText());
    const std::size_t captionRoom =
        maxWidth - std::min(maxWidth, displayWidth(settings) + kCaptionLeast) + kCaptionLeast;
    lines.push_back(
        clipped(middleElided(printable(view.protocolCaption()), captionRoom) + settings, maxWidth));
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
