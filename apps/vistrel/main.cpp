// The desktop application: the widget watching a simulated ECU.
#include "components/error.h"
#include "components/version.h"
#include "main_window.h"
#include "sim/simulated_ecu.h"
#include "widget/svg_icon.h"

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QFile>
#include <iostream>

int main(int argc, char** argv) {
    CLI::App cli{"vistrel: watch the memory of one ECU live over KWP2000"};
    std::string ecuFile;
    std::string itemsFile;
    bool start = false;
    cli.set_version_flag("--version", vistrel::versionBanner("vistrel"));
    cli.add_option("--ecu", ecuFile, "ECU description to simulate (default: the built-in demo car)")
        ->check(CLI::ExistingFile);
    cli.add_option("--paste", itemsFile, "File of item lines to paste into the table at start")
        ->check(CLI::ExistingFile);
    cli.add_flag("--start", start, "Start the communication once the window shows");
    cli.footer("Qt's own options (-platform, -geometry, ...) are accepted too.");
    // Help and bad values are answered before any display is needed; Qt's
    // options are left for Qt, which takes them out of the arguments, and
    // what remains must then be ours.
    cli.allow_extras();
    CLI11_PARSE(cli, argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vistrel"));
    // The menu entry's icon on the window too; the desktop pairs the window
    // with its entry (vistrel.desktop) by this name.
    QApplication::setWindowIcon(
        vistrel::svgIcon(QStringLiteral(":/vistrel/app/vistrel.svg"), {16, 32, 48, 64, 128, 256}));
    QGuiApplication::setDesktopFileName(QStringLiteral("vistrel"));
    cli.allow_extras(false);
    CLI11_PARSE(cli, argc, argv);

    std::shared_ptr<vistrel::SimulatedEcu> ecu;
    try {
        ecu = ecuFile.empty() ? vistrel::SimulatedEcu::demo()
                              : vistrel::SimulatedEcu::fromFile(ecuFile);
    } catch (const vistrel::Error& error) {
        std::cerr << "vistrel: " << error.description() << '\n';
        return 1;
    }

    vistrel::MainWindow window(ecu);
    window.show();
    if (!itemsFile.empty()) {
        QFile items(QString::fromStdString(itemsFile));
        if (!items.open(QIODevice::ReadOnly)) {
            std::cerr << "vistrel: cannot read " << itemsFile << '\n';
            return 1;
        }
        window.pasteItems(QString::fromUtf8(items.readAll()));
    }
    if (start) {
        window.pressStart();
    }
    return QApplication::exec();
}
