// SPDX-License-Identifier: MIT
#include "control/control_state.h"
#include "control/grid_columns.h"
#include "control/rounding.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vistrel {
namespace {

// Top of the grid in twips: below the tool bar and the row of setting fields.
constexpr int kGridTop = 1080;
constexpr int kGridFontSize = 10;

} // namespace

// The widths add up to 99 percent, leaving room for the grid's border.
const std::vector<GridColumn>& gridColumns() {
    static const std::vector<GridColumn> columns = {
        {"Nom (Name)", CellAlignment::LeftCenter, 30},
        {"Valeur (Value)", CellAlignment::RightCenter, 20},
        {"Unité (Unit)", CellAlignment::LeftCenter, 14},
        {"Adr (Addr)", CellAlignment::Center, 10},
        {"Lng", CellAlignment::Center, 5},
        {"Affichage (Display)", CellAlignment::Center, 10},
        {"Mask", CellAlignment::Center, 10},
    };
    return columns;
}

void VistrelControl::State::placeGrid() {
    // A control too small for the grid gets a grid of no height rather than
    // a negative one.
    const int height = std::max(0, view.innerHeight() - kGridTop - view.statusBarHeight());
    view.placeGrid(Rect{1, kGridTop, view.innerWidth(), height}, kGridFontSize);
}

void VistrelControl::State::GridCreate() {
    placeGrid();
    view.setGridColumns(gridColumns());
    GridSetColWidth();
}

void VistrelControl::State::GridSetColWidth() {
    const std::int64_t width = view.gridWidth();
    const auto& columns = gridColumns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        view.setColumnWidth(static_cast<int>(i), static_cast<int>(divideRoundHalfEven(
                                                     width * columns[i].widthPercent, 100)));
    }
}

void VistrelControl::State::GridFill() {
    std::vector<GridRow> rows;
    rows.reserve(static_cast<std::size_t>(items.count()));
    for (const auto& item : items) {
        rows.push_back(GridRow{item->name(), "", item->unit(), item->addressByte().text(),
                               std::to_string(item->length()), item->formatLabel(), item->mask()});
    }
    view.setGridRows(std::move(rows));
}

} // namespace vistrel
