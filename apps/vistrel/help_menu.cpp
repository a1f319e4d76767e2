// SPDX-License-Identifier: MIT
// The Help menu: the version and license, the keys, the README.
#include "components/version.h"
#include "main_window.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QUrl>

namespace vistrel {
namespace {

// Where the package installs the README (the build passes the folder).
const QString kReadme = QStringLiteral(VISTREL_DOC_DIR "/README.md");

const QString kKeys = QStringLiteral("Ctrl+O\tOuvrir une liste (Open a list)\n"
                                     "Ctrl+S\tSauver la liste (Save the list)\n"
                                     "Ctrl+Q\tQuitter (Quit)\n"
                                     "Ctrl+Alt+V\tInstantané de la prochaine lecture "
                                     "(Snapshot of the next read)\n"
                                     "Ctrl+Alt+H\tVersion et état de l'instantané "
                                     "(Version and snapshot state)");

} // namespace

void MainWindow::createHelpMenu() {
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Aide (Help)"));
    help->addAction(QStringLiteral("Touches (Keys)"), this, [this] {
        QMessageBox::information(this, QStringLiteral("Touches (Keys)"), kKeys);
    });
    help->addAction(QStringLiteral("Lisez-moi (README)"), this, [this] {
        if (!QFileInfo::exists(kReadme) ||
            !QDesktopServices::openUrl(QUrl::fromLocalFile(kReadme))) {
            QMessageBox::information(this, QStringLiteral("Lisez-moi (README)"),
                                     QStringLiteral("The README is %1").arg(kReadme));
        }
    });
    help->addSeparator();
    help->addAction(QStringLiteral("À propos de vistrel (About vistrel)"), this, [this] {
        QMessageBox::about(
            this, QStringLiteral("À propos de vistrel (About vistrel)"),
            QStringLiteral("<p><b>vistrel %1</b></p><p>Watches the memory of one car ECU live "
                           "over KWP2000.</p><p>%2</p>")
                .arg(QString::fromUtf8(kVersionText.data(),
                                       static_cast<qsizetype>(kVersionText.size())),
                     QString::fromUtf8(kLicenseLine.data(),
                                       static_cast<qsizetype>(kLicenseLine.size()))
                         .toHtmlEscaped()));
    });
}

} // namespace vistrel
