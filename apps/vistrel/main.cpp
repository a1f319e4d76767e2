// SPDX-License-Identifier: MIT
// The desktop application: the widget watching an ECU over a link.
#include "components/error.h"
#include "components/version.h"
#include "connect/link_factory.h"
#include "control/message_port.h"
#include "control/vistrel_control.h"
#include "link/link_string.h"
#include "main_window.h"
#include "plot_command.h"
#include "widget/svg_icon.h"
#include "widget/vistrel_widget.h"

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <iostream>

int main(int argc, char** argv) {
    CLI::App cli{"vistrel: watch the memory of one ECU live over KWP2000"};
    std::string link = "sim";
    std::string itemsFile;
    bool start = false;
    cli.set_version_flag("--version", vistrel::versionBanner("vistrel"));
    auto* linkOption = cli.add_option("--link", link,
                                      "The ECU's link: " + vistrel::linkStringForms() +
                                          " (default: sim, the built-in demo car); " +
                                          vistrel::diagnosticKeysHelp())
                           ->type_name("LINK");
    auto* ecuOption = cli.add_option_function<std::string>(
                             "--ecu", [&link](const std::string& file) { link = "sim:" + file; },
                             "ECU description to simulate (the same as --link sim:FILE)")
                          ->check(CLI::ExistingFile);
    linkOption->excludes(ecuOption);
    ecuOption->excludes(linkOption);
    auto* pasteOption =
        cli.add_option("--paste", itemsFile, "File of item lines to paste into the table at start")
            ->check(CLI::ExistingFile);
    // Checked only once Qt has taken its own options out: before that, the
    // value of "-platform offscreen" would land here.
    std::string configFile;
    auto* configOption =
        cli.add_option("FILE", configFile, "Configuration file (.xml) to open at start")
            ->type_name("FILE.xml")
            ->excludes(pasteOption);
    cli.add_flag("--start", start, "Start the communication once the window shows");
    bool chooseLink = false;
    cli.add_flag("--choose-link", chooseLink,
                 "Open the Connection dialog once the window shows, to choose the link");
    std::string plotNames;
    cli.add_option("--plot", plotNames,
                   "Names of the items to plot under the table, comma-separated")
        ->type_name("NAMES");
    bool plotLanes = false;
    cli.add_flag("--lanes", plotLanes, "Plot in lanes, one per item, each with its own axis");
    std::string viewFile;
    cli.add_option("--view", viewFile, "Recording file (.txt) to open in the viewer")
        ->check(CLI::ExistingFile);
    std::string importFile;
    cli.add_option("--import", importFile,
                   "Measurement description (.a2l) whose measurements to pick at start")
        ->type_name("FILE.a2l");

    vistrel::PlotOptions plot;
    auto* plotCommand = cli.add_subcommand(
        "plot", "Draws a recording file into a PNG or SVG image, without a display");
    plotCommand->add_option("FILE", plot.recordingFile, "Recording file (.txt)")->required();
    plotCommand->add_option("-o,--output", plot.outFile, "Image to write (.png or .svg)")
        ->required()
        ->type_name("OUT");
    plotCommand
        ->add_option("--items", plot.items,
                     "Names of the columns to draw, comma-separated (default: the decimal ones)")
        ->type_name("NAMES");
    auto* lanes = plotCommand->add_flag_function(
        "--lanes", [&plot](std::int64_t) { plot.lanes = true; },
        "One lane per column, each with its own axis (the default beyond 4 columns or without "
        "--items)");
    auto* noLanes = plotCommand->add_flag_function(
        "--no-lanes", [&plot](std::int64_t) { plot.lanes = false; }, "All columns in one chart");
    lanes->excludes(noLanes);
    noLanes->excludes(lanes);
    plotCommand->add_option("--size", plot.size, "Image size in pixels (default 1600x900)")
        ->type_name("WxH");
    plotCommand->add_option("--from", plot.from, "First second shown")->type_name("S");
    plotCommand->add_option("--to", plot.to, "Last second shown")->type_name("S");
    plotCommand->add_option("--run", plot.run, "Which recording of a continued file, from 1")
        ->type_name("N");
    cli.footer("Qt's own options (-platform, -geometry, ...) are accepted too.");
    // Help and bad values are answered before any display is needed; Qt's
    // options are left for Qt, which takes them out of the arguments, and
    // what remains must then be ours.
    cli.allow_extras();
    CLI11_PARSE(cli, argc, argv);
    if (plotCommand->parsed()) {
        if (!cli.remaining().empty()) {
            std::cerr << "vistrel plot: unknown argument " << cli.remaining().front() << '\n';
            return 2;
        }
        // Images are drawn without a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        QGuiApplication images(argc, argv);
        return vistrel::runPlot(plot, std::cerr);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vistrel"));
    // The menu entry's icon on the window too; the desktop pairs the window
    // with its entry (vistrel.desktop) by this name.
    QApplication::setWindowIcon(
        vistrel::svgIcon(QStringLiteral(":/vistrel/app/vistrel.svg"), {16, 32, 48, 64, 128, 256}));
    QGuiApplication::setDesktopFileName(QStringLiteral("vistrel"));
    cli.allow_extras(false);
    configOption->check(CLI::ExistingFile);
    // The first pass may have taken the value of a Qt option ("-geometry
    // 800x600") for the file; only what is left now names one.
    configFile.clear();
    CLI11_PARSE(cli, argc, argv);

    std::shared_ptr<vistrel::Protocol> protocol;
    try {
        protocol = vistrel::makeLink(link);
    } catch (const vistrel::LinkStringError& error) {
        std::cerr << "vistrel: --link: " << error.what() << '\n';
        return 2;
    } catch (const vistrel::Error& error) {
        std::cerr << "vistrel: " << error.description() << '\n';
        return 1;
    }

    vistrel::MainWindow window(std::move(protocol), QString::fromStdString(link));
    window.show();
    if (!configFile.empty()) {
        // As Open does: a file that cannot be read says why in a message box
        // (the application may have been started from a file manager).
        const vistrel::CommandResult opened = window.watch().control().openConfigFile(configFile);
        if (!opened.ok()) {
            QMessageBox::warning(&window, QString::fromUtf8(vistrel::kApplicationTitle),
                                 QString::fromStdString(opened.text));
        }
    }
    if (!itemsFile.empty()) {
        QFile items(QString::fromStdString(itemsFile));
        if (!items.open(QIODevice::ReadOnly)) {
            std::cerr << "vistrel: cannot read " << itemsFile << '\n';
            return 1;
        }
        // Straight into the list: the user's clipboard is left alone.
        window.watch().control().pasteText(items.readAll().toStdString());
    }
    if (!plotNames.empty()) {
        window.plotItems(QString::fromStdString(plotNames).split(','));
        window.watch().setPlotLanes(plotLanes);
    }
    if (!importFile.empty()) {
        window.importMeasurements(QString::fromStdString(importFile));
    }
    if (start) {
        window.watch().control().start();
    }
    if (chooseLink) {
        QTimer::singleShot(0, &window, &vistrel::MainWindow::chooseConnection);
    }
    if (!viewFile.empty() && !window.viewRecording(QString::fromStdString(viewFile))) {
        return 1;
    }
    return QApplication::exec();
}
