// SPDX-License-Identifier: MIT
#include "control/control_state.h"
#include "control/grid_columns.h"

#include <string>
#include <vector>

namespace vistrel {

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

// Where the grid stands and how wide its columns are is the view's business:
// the control only says which columns there are.
void VistrelControl::State::createGrid() {
    view.setGridColumns(gridColumns());
}

void VistrelControl::State::fillGrid() {
    std::vector<GridRow> rows;
    rows.reserve(static_cast<std::size_t>(items->count()));
    for (const auto& item : *items) {
        rows.push_back(GridRow{item->name(), "", item->unit(), item->addressByte().text(),
                               std::to_string(item->length()), item->formatLabel(), item->mask()});
    }
    view.setGridRows(std::move(rows));
}

} // namespace vistrel
