// SPDX-License-Identifier: MIT
#include "widget/grid_model.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace vistrel {
namespace {

GridRow itemRow(const std::string& name) {
    return {name, "", "V", "01A004", "2", "Decimal", "FFFF"};
}

TEST(GridModel, OneReadIsOneChangeOfTheValueColumn) {
    GridModel model;
    model.setColumns({{"Nom (Name)", CellAlignment::LeftCenter, 30},
                      {"Valeur (Value)", CellAlignment::RightCenter, 20}});
    model.setRows({itemRow("a"), itemRow("b"), itemRow("c")});
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

    model.setValueColumn({{"1"}, {"2"}, {"3"}});

    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0][0].toModelIndex(), model.index(0, GridModel::kValueColumn));
    EXPECT_EQ(changes[0][1].toModelIndex(), model.index(2, GridModel::kValueColumn));
    EXPECT_EQ(model.index(2, 1).data().toString(), "3");
    EXPECT_EQ(model.index(2, 0).data().toString(), "c");
}

TEST(GridModel, AnEmptyListShowsOneEmptyRow) {
    GridModel model;
    model.setRows({itemRow("a"), itemRow("b")});
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    model.setRows({});

    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(model.rowCount(), 1);
}

} // namespace
} // namespace vistrel
