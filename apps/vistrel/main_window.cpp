#include "main_window.h"

#include "components/error.h"
#include "sim/simulated_ecu.h"
#include "widget/vistrel_widget.h"

#include <QAction>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>

namespace vistrel {

MainWindow::MainWindow(std::shared_ptr<Protocol> protocol) : watch_(new VistrelWidget(this)) {
    setWindowTitle(QStringLiteral("vistrel"));
    setCentralWidget(watch_);
    createMenu();
    watch_->setProtocol(std::move(protocol));
    resize(watch_->sizeHint().grownBy(QMargins(0, menuBar()->sizeHint().height(), 0, 0)));
}

void MainWindow::createMenu() {
    QMenu* ecu = menuBar()->addMenu(QStringLiteral("&ECU"));
    ecu->addAction(QStringLiteral("Ouvrir une description d'ECU… (Open ECU description…)"), this,
                   &MainWindow::chooseEcuDescription);
    ecu->addAction(QStringLiteral("ECU de démonstration (Demo ECU)"), this,
                   [this] { watch_->setProtocol(SimulatedEcu::demo()); });
    ecu->addSeparator();
    ecu->addAction(QStringLiteral("Quitter (Quit)"), this, &QWidget::close);
}

void MainWindow::chooseEcuDescription() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Description d'ECU (ECU description)"), QString(),
        QStringLiteral("ECU description (*.xml);;All files (*)"));
    if (path.isEmpty()) {
        return;
    }
    try {
        watch_->setProtocol(SimulatedEcu::fromFile(path.toStdString()));
    } catch (const Error& error) {
        QMessageBox::warning(this, QString::fromUtf8(kApplicationTitle),
                             QString::fromStdString(error.description()));
    }
}

} // namespace vistrel
