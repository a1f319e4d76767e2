// SPDX-License-Identifier: MIT
#include "import_dialog.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <unordered_set>

namespace vistrel {

// The measurements as rows: name, long identifier, type, address, unit,
// and why a row cannot be imported. Rows are made on demand, so thousands
// of them scroll and filter freely.
class MeasurementTable : public QAbstractTableModel {
public:
    enum Column { Name, LongIdentifier, Type, Address, Unit, Remark, ColumnCount };

    explicit MeasurementTable(const A2lDescription& description, QObject* parent)
        : QAbstractTableModel(parent), description_(description) {}

    void remap(const A2lAddressing& addressing) {
        beginResetModel();
        mappings_.clear();
        mappings_.reserve(description_.measurements.size());
        for (const A2lMeasurement& m : description_.measurements) {
            mappings_.push_back(mapMeasurement(m, description_, addressing));
        }
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(mappings_.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) {
            return {};
        }
        const auto row = static_cast<std::size_t>(index.row());
        const A2lMeasurement& m = description_.measurements[row];
        const A2lMapping& mapping = mappings_[row];
        switch (index.column()) {
        case Name:
            return QString::fromStdString(m.name);
        case LongIdentifier:
            return QString::fromStdString(m.longIdentifier);
        case Type:
            return QString::fromStdString(m.datatype);
        case Address:
            return mapping.item ? QString::fromStdString(mapping.item->address) : QString();
        case Unit:
            return mapping.item ? QString::fromStdString(mapping.item->unit) : QString();
        case Remark:
            return QString::fromStdString(mapping.item ? mapping.note : mapping.reason);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const kTitles[] = {"Nom (Name)",   "Description",
                                              "Type",         "Adresse (Address)",
                                              "Unité (Unit)", "Remarque (Remark)"};
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= ColumnCount) {
            return {};
        }
        return QString::fromUtf8(kTitles[section]);
    }

    const A2lMeasurement& measurement(int row) const {
        return description_.measurements[static_cast<std::size_t>(row)];
    }

private:
    const A2lDescription& description_;
    std::vector<A2lMapping> mappings_;
};

namespace {

// The filter looks at the name and the long identifier only.
class NameFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const QRegularExpression& pattern = filterRegularExpression();
        for (const int column : {MeasurementTable::Name, MeasurementTable::LongIdentifier}) {
            if (sourceModel()->index(row, column, parent).data().toString().contains(pattern)) {
                return true;
            }
        }
        return false;
    }
};

} // namespace

ImportDialog::ImportDialog(A2lDescription description, const QString& fileName, QWidget* parent)
    : QDialog(parent), description_(std::move(description)),
      table_(new MeasurementTable(description_, this)), filter_(new NameFilter(this)),
      view_(new QTableView(this)), filterText_(new QLineEdit(this)), offset_(new QLineEdit(this)),
      addressBytes_(new QComboBox(this)), summary_(new QPlainTextEdit(this)),
      replace_(new QRadioButton(QStringLiteral("Remplacer le tableau (Replace the table)"), this)) {
    setWindowTitle(QStringLiteral("Importer des mesures (Import measurements) : ") + fileName);
    filter_->setSourceModel(table_);
    filter_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    view_->setModel(filter_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setSortingEnabled(false);
    view_->verticalHeader()->hide();
    // One line a row, of a fixed height, and set column widths: the view
    // then never measures thousands of rows.
    view_->setWordWrap(false);
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (const auto& [column, digits] : {std::pair{MeasurementTable::Name, 22},
                                         {MeasurementTable::LongIdentifier, 34},
                                         {MeasurementTable::Type, 14},
                                         {MeasurementTable::Address, 10},
                                         {MeasurementTable::Unit, 8}}) {
        view_->setColumnWidth(column, digits * digit);
    }
    view_->horizontalHeader()->setStretchLastSection(true);
    filterText_->setPlaceholderText(QStringLiteral("Filtre (Filter): nom ou description"));
    filterText_->setClearButtonEnabled(true);
    connect(filterText_, &QLineEdit::textChanged, filter_,
            [this](const QString& text) { filter_->setFilterFixedString(text); });

    offset_->setPlaceholderText(QStringLiteral("-80000000"));
    addressBytes_->addItems({QStringLiteral("3"), QStringLiteral("4")});
    connect(offset_, &QLineEdit::editingFinished, this, &ImportDialog::remap);
    connect(addressBytes_, &QComboBox::currentIndexChanged, this, &ImportDialog::remap);
    summary_->setReadOnly(true);
    summary_->setMaximumBlockCount(10000);

    auto* add = new QRadioButton(QStringLiteral("Ajouter au tableau (Add to the table)"), this);
    add->setChecked(true);
    auto* addressing = new QFormLayout;
    addressing->addRow(QStringLiteral("Décalage d'adresse (Address offset, [-]HEX)"), offset_);
    addressing->addRow(QStringLiteral("Octets d'adresse (Address bytes)"), addressBytes_);
    auto* choice = new QHBoxLayout;
    choice->addWidget(add);
    choice->addWidget(replace_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ImportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filterText_);
    layout->addWidget(view_, 3);
    layout->addLayout(addressing);
    layout->addWidget(new QLabel(QStringLiteral("Non importables (Cannot be imported)"), this));
    layout->addWidget(summary_, 1);
    layout->addLayout(choice);
    layout->addWidget(buttons);
    resize(900, 600);
    remap();
}

ImportDialog::~ImportDialog() = default;

bool ImportDialog::replacesTable() const noexcept {
    return replace_->isChecked();
}

bool ImportDialog::readAddressing() {
    const auto offset = parseAddressOffset(offset_->text().trimmed().toStdString());
    if (!offset) {
        return false;
    }
    addressing_ = {*offset, addressBytes_->currentIndex() == 0 ? 3 : 4};
    return true;
}

void ImportDialog::remap() {
    if (!readAddressing()) {
        summary_->setPlainText(QStringLiteral("Décalage incorrect (Bad offset): ") +
                               offset_->text() + QStringLiteral(" — [-]HEX, at most 32 bits"));
        return;
    }
    table_->remap(addressing_);
    const A2lImport all =
        importMeasurements(description_, addressing_, [](const A2lMeasurement&) { return true; });
    summary_->setPlainText(QString::fromStdString(importSummary(all)));
}

void ImportDialog::accept() {
    if (!readAddressing()) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Décalage incorrect (Bad offset): ") + offset_->text());
        return;
    }
    table_->remap(addressing_);
    // The selected rows, or every row the filter shows.
    QModelIndexList rows = view_->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        for (int row = 0; row < filter_->rowCount(); ++row) {
            rows.push_back(filter_->index(row, 0));
        }
    }
    std::unordered_set<const A2lMeasurement*> chosen;
    for (const QModelIndex& index : rows) {
        chosen.insert(&table_->measurement(filter_->mapToSource(index).row()));
    }
    imported_ = importMeasurements(description_, addressing_,
                                   [&](const A2lMeasurement& m) { return chosen.contains(&m); });
    if (imported_.items.empty()) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Aucune mesure importable (Nothing to import)\n") +
                                 QString::fromStdString(importSummary(imported_)));
        return;
    }
    QDialog::accept();
}

} // namespace vistrel
