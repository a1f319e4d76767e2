// SPDX-License-Identifier: MIT
// The desktop application's recording menus: the viewer, the exports, the
// plot pane and the Rec button's triggers.
#include "components/error.h"
#include "control/vistrel_control.h"
#include "main_window.h"
#include "recording/recording_export.h"
#include "recording_viewer.h"
#include "trigger_dialog.h"
#include "widget/vistrel_widget.h"

#include <QAction>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QToolBar>
#include <QToolButton>
#include <fstream>

namespace vistrel {

namespace {

const QString kRecordingFilter =
    QStringLiteral("Enregistrement (Recording) (*.txt);;All files (*)");

// The recording of a continued file that the user wants; the only one
// without asking.
std::optional<RecordingRun> chooseRun(std::vector<RecordingRun> runs, QWidget* parent) {
    int number = 1;
    if (runs.size() > 1) {
        bool ok = false;
        number = QInputDialog::getInt(
            parent, QStringLiteral("Enregistrement (Recording)"),
            QStringLiteral("Ce fichier tient %1 enregistrements (This file holds %1 recordings)")
                .arg(runs.size()),
            1, 1, static_cast<int>(runs.size()), 1, &ok);
        if (!ok) {
            return std::nullopt;
        }
    }
    return std::move(runs[static_cast<std::size_t>(number - 1)]);
}

} // namespace

void MainWindow::createRecordingMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Fichier (File)"));
    file->addAction(QStringLiteral("Ouvrir un enregistrement… (Open recording…)"), this,
                    &MainWindow::openRecording);
    file->addAction(QStringLiteral("Exporter un enregistrement… (Export recording…)"), this,
                    &MainWindow::exportRecording);
    file->addSeparator();
    file->addAction(QStringLiteral("Importer des mesures… (Import measurements…)"), this,
                    [this] { importMeasurements({}); });
    // The File menu comes first, as everywhere.
    menuBar()->insertMenu(menuBar()->actions().front(), file);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&Affichage (View)"));
    QAction* plot = view->addAction(QStringLiteral("Graphique (Plot)"));
    plot->setCheckable(true);
    connect(plot, &QAction::toggled, watch_, &VistrelWidget::setPlotVisible);
    view->addAction(QStringLiteral("Tracer la sélection (Plot selection)"), watch_,
                    &VistrelWidget::plotSelectedRows);
    QAction* lanes = view->addAction(QStringLiteral("Tracer en voies (Plot lanes)"));
    lanes->setObjectName(QStringLiteral("PlotLanes"));
    lanes->setCheckable(true);
    connect(lanes, &QAction::toggled, watch_, &VistrelWidget::setPlotLanes);
    connect(watch_, &VistrelWidget::plotLanesChanged, lanes, &QAction::setChecked);

    // The Rec button keeps its click; its menu sets the trigger.
    auto* rec = watch_->findChild<QAction*>(QStringLiteral("Rec"));
    auto* toolbar = watch_->findChild<QToolBar*>(QStringLiteral("Toolbar"));
    if (!rec || !toolbar) {
        return;
    }
    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("Déclenchement… (Trigger…)"), this, &MainWindow::chooseTrigger);
    menu->addAction(QStringLiteral("Sans déclenchement (No trigger)"), this, [this] {
        trigger_.reset();
        watch_->setRecordingTrigger(std::nullopt);
    });
    if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(rec))) {
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

void MainWindow::chooseTrigger() {
    TriggerDialog dialog(trigger_, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const RecordingTrigger& chosen = dialog.trigger();
    // Without a condition Rec records at once, as it always did.
    trigger_ = chosen.when || chosen.until ? std::optional(chosen) : std::nullopt;
    watch_->setRecordingTrigger(trigger_);
}

void MainWindow::plotItems(const QStringList& names) {
    std::vector<std::string> chosen;
    for (const QString& name : names) {
        chosen.push_back(name.trimmed().toStdString());
    }
    watch_->plotItems(chosen);
}

bool MainWindow::viewRecording(const QString& path) {
    try {
        auto run = chooseRun(readRecordingFile(path.toStdString()), this);
        if (run) {
            (new RecordingViewer(std::move(*run), path, this))->show();
        }
        return true;
    } catch (const Error& error) {
        QMessageBox::warning(this, QString::fromUtf8(kApplicationTitle),
                             QString::fromStdString(error.description()));
    }
    return false;
}

void MainWindow::openRecording() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Ouvrir un enregistrement (Open recording)"), QString(),
        kRecordingFilter);
    if (!path.isEmpty()) {
        viewRecording(path);
    }
}

void MainWindow::exportRecording() {
    const QString in = QFileDialog::getOpenFileName(
        this, QStringLiteral("Exporter un enregistrement (Export recording)"), QString(),
        kRecordingFilter);
    if (in.isEmpty()) {
        return;
    }
    QString filter;
    const QString out =
        QFileDialog::getSaveFileName(this, QStringLiteral("Exporter vers (Export to)"), QString(),
                                     QStringLiteral("CSV (*.csv);;MSL (*.msl)"), &filter);
    if (out.isEmpty()) {
        return;
    }
    const bool msl = out.endsWith(QStringLiteral(".msl"), Qt::CaseInsensitive) ||
                     filter.startsWith(QStringLiteral("MSL"));
    try {
        const auto run = chooseRun(readRecordingFile(in.toStdString()), this);
        if (!run) {
            return;
        }
        // The list in use knows how the columns were shown, when it is the
        // list the recording was made with.
        const ListRadixes list(watch_->control().items());
        const auto radixes = columnRadixes(*run, list.covers(*run) ? &list : nullptr);
        std::ofstream file(out.toStdString(), std::ios::binary | std::ios::trunc);
        writeExport(*run, radixes, msl ? ExportFormat::Msl : ExportFormat::Csv, file);
        file.close();
        if (!file) {
            throw Error(0, "Cannot write " + out.toStdString());
        }
    } catch (const Error& error) {
        QMessageBox::warning(this, QString::fromUtf8(kApplicationTitle),
                             QString::fromStdString(error.description()));
    }
}

} // namespace vistrel
