// SPDX-License-Identifier: MIT
#include "widget/grid_model.h"

#include <QColor>
#include <algorithm>

namespace vistrel {
namespace {

Qt::Alignment qtAlignment(CellAlignment alignment) {
    switch (alignment) {
    case CellAlignment::LeftCenter:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case CellAlignment::RightCenter:
        return Qt::AlignRight | Qt::AlignVCenter;
    case CellAlignment::Center:
        break;
    }
    return Qt::AlignCenter;
}

} // namespace

void GridModel::setColumns(const std::vector<GridColumn>& columns) {
    beginResetModel();
    columns_.clear();
    const auto count = std::min<std::size_t>(columns.size(), kGridColumnCount);
    for (std::size_t i = 0; i < count; ++i) {
        columns_.push_back(
            {QString::fromStdString(columns[i].header), qtAlignment(columns[i].alignment)});
    }
    endResetModel();
}

void GridModel::setRows(std::vector<GridRow> rows) {
    beginResetModel();
    rows_.assign(std::max<std::size_t>(rows.size(), 1), Row{});
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::transform(rows[r].begin(), rows[r].end(), rows_[r].begin(),
                       [](const std::string& cell) { return QString::fromStdString(cell); });
    }
    endResetModel();
}

void GridModel::setValueColumn(const std::vector<ValueCell>& values) {
    const auto count = std::min(values.size(), rows_.size());
    if (count == 0) {
        return;
    }
    for (std::size_t r = 0; r < count; ++r) {
        rows_[r][kValueColumn] = QString::fromStdString(values[r].text);
    }
    emit dataChanged(index(0, kValueColumn), index(static_cast<int>(count) - 1, kValueColumn),
                     {Qt::DisplayRole});
}

void GridModel::setValuesStale(bool stale) {
    if (stale == valuesStale_) {
        return;
    }
    valuesStale_ = stale;
    emit dataChanged(index(0, kValueColumn), index(rowCount() - 1, kValueColumn),
                     {Qt::ForegroundRole});
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return rows_[static_cast<std::size_t>(index.row())]
                    [static_cast<std::size_t>(index.column())];
    case Qt::TextAlignmentRole:
        return columns_[static_cast<std::size_t>(index.column())].alignment.toInt();
    case Qt::ForegroundRole:
        if (valuesStale_ && index.column() == kValueColumn) {
            return QColor(Qt::gray);
        }
        return {};
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const auto& column = columns_[static_cast<std::size_t>(section)];
    switch (role) {
    case Qt::DisplayRole:
        return column.header;
    case Qt::TextAlignmentRole:
        return column.alignment.toInt();
    default:
        return {};
    }
}

} // namespace vistrel
