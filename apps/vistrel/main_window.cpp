// SPDX-License-Identifier: MIT
#include "main_window.h"

#include "components/error.h"
#include "connection_dialog.h"
#include "connect/link_factory.h"
#include "link/link_string.h"
#include "widget/vistrel_widget.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>

namespace vistrel {
namespace {

constexpr int kRecentLinks = 8;
const QString kRecentKey = QStringLiteral("recentLinks");
const QString kGeometryKey = QStringLiteral("windowGeometry");

QSettings settings() {
    return QSettings(QStringLiteral("vistrel"), QStringLiteral("vistrel"));
}

} // namespace

MainWindow::MainWindow(std::shared_ptr<Protocol> protocol, const QString& link)
    : watch_(new VistrelWidget(this)), linkLabel_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("vistrel"));
    setCentralWidget(watch_);
    watch_->takeKeysOfWindow(*this);
    statusBar()->addPermanentWidget(linkLabel_);
    createMenu();
    createRecordingMenus();
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
    linkLabel_->setText(QStringLiteral("Liaison (Link) : ") + link);
    remember(link);
}

void MainWindow::createMenu() {
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
    connection->addSeparator();
    connection->addAction(QStringLiteral("Quitter (Quit)"), this, &QWidget::close);
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
