// SPDX-License-Identifier: MIT
#pragma once

#include "itemlist/a2l_description.h"
#include "itemlist/a2l_mapping.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QSortFilterProxyModel;
class QTableView;

namespace vistrel {

class MeasurementTable;

// Picks measurements of a measurement description (A2L) for the table: a
// list with a filter, each measurement's type, address and unit, the address
// offset and size, and what cannot be mapped. The chosen ones (the selected
// rows, or every row the filter shows when none is selected) are added to
// the table or replace it.
class ImportDialog : public QDialog {
public:
    ImportDialog(A2lDescription description, const QString& fileName, QWidget* parent = nullptr);
    ~ImportDialog() override;

    // Only after the dialog was accepted.
    const A2lImport& imported() const noexcept { return imported_; }
    bool replacesTable() const noexcept;

private:
    void accept() override;
    // The offset and size as the fields show them; false when the offset is
    // no [-]HEX.
    bool readAddressing();
    void remap();

    A2lDescription description_;
    A2lAddressing addressing_;
    MeasurementTable* table_;
    QSortFilterProxyModel* filter_;
    QTableView* view_;
    QLineEdit* filterText_;
    QLineEdit* offset_;
    QComboBox* addressBytes_;
    QPlainTextEdit* summary_;
    QRadioButton* replace_;
    A2lImport imported_;
};

} // namespace vistrel
