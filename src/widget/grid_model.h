// SPDX-License-Identifier: MIT
#pragma once

#include "control/ports.h"

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <string>
#include <vector>

namespace vistrel {

// The rows of the value grid as the control hands them over: item rows only,
// the header comes from the columns. The value column is rewritten after
// every read, so it is updated in place with a single dataChanged.
class GridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kValueColumn = 1;

    using QAbstractTableModel::QAbstractTableModel;

    void setColumns(const std::vector<GridColumn>& columns);
    // An empty list still shows one empty row under the header.
    void setRows(std::vector<GridRow> rows);
    // One text per row from the first one; extra texts are ignored.
    void setValueColumn(const std::vector<ValueCell>& values);
    // Stale values are greyed: they are older than a read without answer.
    void setValuesStale(bool stale);
    bool valuesStale() const noexcept { return valuesStale_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Column {
        QString header;
        Qt::Alignment alignment;
    };
    using Row = std::array<QString, kGridColumnCount>;

    std::vector<Column> columns_;
    std::vector<Row> rows_{Row{}};
    bool valuesStale_ = false;
};

} // namespace vistrel
