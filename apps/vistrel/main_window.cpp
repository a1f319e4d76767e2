// SPDX-License-Identifier: MIT
#include "main_window.h"

#include "components/error.h"
#include "connect/link_factory.h"
#include "connection_dialog.h"
#include "control/vistrel_control.h"
#include "link/link_string.h"
#include "widget/eliding_label.h"
#include "widget/vistrel_widget.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>

namespace vistrel {
namespace {

constexpr int kRecentLinks = 8;
const QString kRecentKey = QStringLiteral("recentLinks");
const QString kGeometryKey = QStringLiteral("windowGeometry");
// How often the status bar's link words and rates are brought up to date.
constexpr int kStatusInterval = 250;

QSettings settings() {
    return QSettings(QStringLiteral("vistrel"), QStringLiteral("vistrel"));
}

} // namespace

MainWindow::MainWindow(std::shared_ptr<Protocol> protocol, const QString& link)
    : watch_(new VistrelWidget(this)), linkLabel_(new ElidingLabel(Qt::ElideMiddle, this)),
      rateLabel_(new QLabel(this)), recordLabel_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("vistrel"));
    setCentralWidget(watch_);
    watch_->takeKeysOfWindow(*this);
    watch_->setAskToSaveChanges(true);
    // A long device path is shortened in its middle, never pushing the
    // window wider.
    statusBar()->addPermanentWidget(linkLabel_, 1);
    statusBar()->addPermanentWidget(rateLabel_);
    statusBar()->addPermanentWidget(recordLabel_);
    // The engine's events keep the link's health; the words follow it, and
    // "no answer since" counts on while nothing comes.
    auto* statusTimer = new QTimer(this);
    connect(statusTimer, &QTimer::timeout, this, &MainWindow::showLinkStatus);
    statusTimer->start(kStatusInterval);
    createFileMenu();
    createConnectionMenu();
    createViewMenu();
    createHelpMenu();
    setLink(std::move(protocol), link);
    // The design size leaves the setting fields, headers and values cut
    // with the fonts of today's desktops: half again as large, within the
    // screen, unless the user left the window at a size of their own.
    const QSize roomy = watch_->sizeHint().grownBy(QMargins(0, menuBar()->sizeHint().height(), 0,
                                                            statusBar()->sizeHint().height())) *
                        1.5;
    resize(screen() != nullptr ? roomy.boundedTo(screen()->availableGeometry().size()) : roomy);
    restoreGeometry(settings().value(kGeometryKey).toByteArray());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!watch_->mayDiscardList()) {
        event->ignore();
        return;
    }
    settings().setValue(kGeometryKey, saveGeometry());
    QMainWindow::closeEvent(event);
}

QString MainWindow::useLink(const QString& link) {
    try {
        setLink(makeLink(link.toStdString()), link);
    } catch (const LinkStringError& e) {
        return QString::fromStdString(e.what());
    } catch (const Error& e) {
        return QString::fromStdString(e.description());
    }
    return {};
}

void MainWindow::setLink(std::shared_ptr<Protocol> protocol, const QString& link) {
    watch_->setProtocol(std::move(protocol));
    link_ = link;
    showLinkStatus();
    remember(link);
}

void MainWindow::showLinkStatus() {
    const VistrelControl& control = watch_->control();
    linkLabel_->setTextAndTip(QString::fromStdString(control.linkInWords()));
    rateLabel_->setText(QString::fromStdString(control.linkHealth().rateText()));
    const bool recording = control.recording() && !control.recordFileName().empty();
    recordLabel_->setText(
        recording ? QStringLiteral("REC ") +
                        QString::fromStdString(
                            std::filesystem::path(control.recordFileName()).filename().string())
                  : QString());
}

void MainWindow::addToolbarEntry(QMenu& menu, const QString& text, const char* key,
                                 const QKeySequence& shortcut) {
    auto* button = watch_->findChild<QAction*>(QString::fromUtf8(key));
    if (button == nullptr) {
        return;
    }
    QAction* entry = menu.addAction(text, button, &QAction::trigger);
    entry->setShortcut(shortcut);
    entry->setEnabled(button->isEnabled());
    connect(button, &QAction::enabledChanged, entry, &QAction::setEnabled);
}

void MainWindow::createFileMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Fichier (File)"));
    addToolbarEntry(*file, QStringLiteral("Ouvrir… (Open…)"), "Open",
                    QKeySequence(Qt::CTRL | Qt::Key_O));
    addToolbarEntry(*file, QStringLiteral("Sauver… (Save…)"), "Save",
                    QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addAction(QStringLiteral("Importer des mesures… (Import measurements…)"), this,
                    [this] { importMeasurements({}); });
    file->addSeparator();
    addRecordingEntries(*file);
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("Quitter (Quit)"), this, &QWidget::close);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void MainWindow::createConnectionMenu() {
    QMenu* connection = menuBar()->addMenu(QStringLiteral("&Connexion (Connection)"));
    connection->addAction(QStringLiteral("Connexion… (Connection…)"), this,
                          &MainWindow::chooseConnection);
    recent_ = connection->addMenu(QStringLiteral("Récentes (Recent)"));
    connect(recent_, &QMenu::aboutToShow, this, &MainWindow::fillRecentLinks);
    connection->addSeparator();
    connection->addAction(QStringLiteral("Ouvrir une description d'ECU… (Open ECU description…)"),
                          this, &MainWindow::chooseEcuDescription);
    connection->addAction(QStringLiteral("ECU de démonstration (Demo ECU)"), this,
                          [this] { useLink(QStringLiteral("sim")); });
}

void MainWindow::chooseConnection() {
    ConnectionDialog dialog(
        link_, [this](const QString& link) { return useLink(link); }, this);
    dialog.exec();
}

void MainWindow::chooseEcuDescription() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Description d'ECU (ECU description)"), QString(),
        QStringLiteral("ECU description (*.xml);;All files (*)"));
    if (path.isEmpty()) {
        return;
    }
    const QString problem = useLink(QStringLiteral("sim:") + path);
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, QString::fromUtf8(kApplicationTitle), problem);
    }
}

void MainWindow::fillRecentLinks() {
    recent_->clear();
    for (const QString& link : settings().value(kRecentKey).toStringList()) {
        recent_->addAction(link, this, [this, link] {
            const QString problem = useLink(link);
            if (!problem.isEmpty()) {
                QMessageBox::warning(this, QString::fromUtf8(kApplicationTitle), problem);
            }
        });
    }
}

void MainWindow::remember(const QString& link) {
    QSettings store = settings();
    QStringList links = store.value(kRecentKey).toStringList();
    links.removeAll(link);
    links.prepend(link);
    store.setValue(kRecentKey, links.mid(0, kRecentLinks));
}

} // namespace vistrel
