// SPDX-License-Identifier: MIT
// File > Import measurements…: a measurement description's items into the
// table, through the same path a paste takes.
#include "components/error.h"
#include "control/vistrel_control.h"
#include "import_dialog.h"
#include "itemlist/a2l_reader.h"
#include "itemlist/item_line_text.h"
#include "main_window.h"
#include "widget/vistrel_widget.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>

namespace vistrel {

void MainWindow::importMeasurements(QString path) {
    const QString title = QStringLiteral("Importer des mesures (Import measurements)");
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(
            this, title, {}, QStringLiteral("Description A2L (*.a2l *.A2L);;All files (*)"));
        if (path.isEmpty()) {
            return;
        }
    }
    A2lDescription description;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor); // large files take a second
    try {
        description = readA2l(path.toStdString(), a2lFilesOnDisk());
    } catch (const Error& e) {
        QGuiApplication::restoreOverrideCursor();
        QMessageBox::warning(this, title, QString::fromStdString(e.description()));
        return;
    }
    QGuiApplication::restoreOverrideCursor();

    ImportDialog dialog(std::move(description), QFileInfo(path).fileName(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // The new list as item lines: the table's own items first unless they
    // are replaced, then the imported ones; a name already in the table
    // keeps its item, as a paste does.
    VistrelControl& control = watch_->control();
    const NumberFormat& format = control.items().numberFormat();
    std::string lines;
    if (!dialog.replacesTable()) {
        for (const auto& item : control.items()) {
            lines += itemLine(*item, format) + "\r\n";
        }
    }
    for (const ItemLineFields& item : dialog.imported().items) {
        lines += itemLine(item, format) + "\r\n";
    }
    control.pasteText(lines);
}

} // namespace vistrel
