// SPDX-License-Identifier: MIT
// The smallest host: one window with the widget, watching the demo ECU.
#include "sim/simulated_ecu.h"
#include "widget/vistrel_widget.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    vistrel::VistrelWidget watch;
    watch.setWindowTitle(QStringLiteral("vistrel host"));
    // The host owns the link to the ECU and hands it to the control.
    watch.setProtocol(vistrel::SimulatedEcu::demo());
    watch.setStartSession(QStringLiteral("10A0"));
    watch.resize(watch.sizeHint());
    watch.show();

    return QApplication::exec();
}
