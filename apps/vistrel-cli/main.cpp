// SPDX-License-Identifier: MIT
// vistrel-cli: the control hosted in a terminal, on a simulated ECU or a real link.

#include "cli/convert_command.h"
#include "cli/discover_command.h"
#include "cli/exit_status.h"
#include "cli/export_command.h"
#include "cli/import_command.h"
#include "cli/read_command.h"
#include "cli/terminal_size.h"
#include "cli/watch_command.h"
#include "components/version.h"
#include "connect/link_factory.h"
#include "itemlist/vistrel_items.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using vistrel::cli::SessionOptions;

// Numbers above zero. Text that is no number is left to CLI11's conversion,
// which says so itself.
CLI::Validator aboveZero() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            double value = 0;
            const auto [end, failed] =
                std::from_chars(text.data(), text.data() + text.size(), value);
            return failed == std::errc{} && !(value > 0) ? "must be more than 0, not " + text : "";
        },
        "> 0");
}

// Every label of the method box, in its order.
std::vector<std::string> methodLabels() {
    std::vector<std::string> labels;
    for (std::int32_t i = 0; !vistrel::VistrelItems::MethodeLabel(i).empty(); ++i) {
        labels.push_back(vistrel::VistrelItems::MethodeLabel(i));
    }
    return labels;
}

void addSessionOptions(CLI::App& command, SessionOptions& options) {
    auto* link =
        command
            .add_option("--link", options.link,
                        "The ECU's link: " + vistrel::linkStringForms() +
                            " (default: sim, the built-in demo); " + vistrel::diagnosticKeysHelp())
            ->type_name("LINK");
    auto* ecu =
        command
            .add_option_function<std::string>(
                "--ecu", [&options](const std::string& file) { options.link = "sim:" + file; },
                "ECU description to simulate (the same as --link sim:FILE)")
            ->type_name("FILE");
    link->excludes(ecu);
    ecu->excludes(link);
    auto* config =
        command.add_option("--config", options.configFile, "Configuration file (.xml) to open")
            ->type_name("FILE");
    auto* items = command
                      .add_option("--items", options.itemsFile,
                                  "Item lines (.tsv) to paste (default: the demo items)")
                      ->type_name("FILE");
    config->excludes(items);
    items->excludes(config);
    command.add_option("--method", options.method, "Reading method")
        ->check(CLI::IsMember(methodLabels()));
    command
        .add_option("--merge-window", options.mergeWindow,
                    "Bytes that one read of ReadMemoryByAddressMerged may span (default: what "
                    "the link's costs make worth it)")
        ->type_name("N")
        ->check(CLI::Range(1, 255));
    command.add_option("--length-size", options.lengthSize, "Length size of a read request")
        ->check(CLI::IsMember({1, 2}));
    command
        .add_option("--session", options.session,
                    "Start-session request as hexadecimal text (default 10A0)")
        ->type_name("HEX");
}

} // namespace

int main(int argc, char** argv) {
    namespace cli = vistrel::cli;
    CLI::App app{"Watches the memory of a car ECU over KWP2000 or UDS.", "vistrel-cli"};
    app.set_version_flag("--version", vistrel::versionBanner("vistrel-cli"));
    app.require_subcommand(1);

    cli::ReadOptions read;
    auto* readCommand = app.add_subcommand(
        "read", "Reads the list once and writes each name and value, as Copy does");
    addSessionOptions(*readCommand, read.session);
    readCommand
        ->add_option("--attempts", read.attempts, "Failed attempts before giving up (default 3)")
        ->type_name("N")
        ->check(aboveZero());

    cli::WatchOptions watch;
    auto* watchCommand =
        app.add_subcommand("watch", "Reads the list again and again until stopped (Ctrl+C)");
    addSessionOptions(*watchCommand, watch.session);
    watchCommand->add_option("--cycles", watch.cycles, "Stop after this many good reads")
        ->type_name("N")
        ->check(aboveZero());
    watchCommand->add_option("--seconds", watch.seconds, "Stop after this many seconds")
        ->type_name("S")
        ->check(aboveZero());
    auto* record =
        watchCommand->add_flag("--record", watch.record, "Record every good read to a file (Rec)");
    auto* when = watchCommand
                     ->add_option("--record-when", watch.recordWhen,
                                  "Start each recording when this holds, e.g. \"Engine speed > "
                                  "3000\" (NAME OP NUMBER, OP one of > >= < <= == !=, joined by "
                                  "and/or)")
                     ->type_name("CONDITION")
                     ->needs(record);
    auto* until =
        watchCommand
            ->add_option("--record-until", watch.recordUntil, "Stop each recording when this holds")
            ->type_name("CONDITION")
            ->needs(record);
    watchCommand
        ->add_option("--pre-trigger", watch.preTrigger,
                     "Seconds before the start condition to record as well")
        ->type_name("S")
        ->check(CLI::NonNegativeNumber)
        ->needs(when);
    watchCommand
        ->add_option("--post-trigger", watch.postTrigger,
                     "Seconds to go on recording after the stop condition")
        ->type_name("S")
        ->check(CLI::NonNegativeNumber)
        ->needs(until);
    watchCommand->add_flag("--snapshot", watch.snapshot,
                           "Save the requests and replies of the first good read");

    std::string convertIn;
    std::string convertOut;
    auto* convertCommand = app.add_subcommand(
        "convert", "Converts item lines (.tsv, .txt) to a configuration file (.xml) or back");
    convertCommand->add_option("IN", convertIn, "File to read")->required();
    convertCommand->add_option("OUT", convertOut, "File to write")->required();

    cli::ExportOptions exportOptions;
    auto* exportCommand =
        app.add_subcommand("export", "Writes a recording file (.txt) for log viewers: csv or msl");
    exportCommand->add_option("FILE", exportOptions.recordingFile, "Recording file to read")
        ->required();
    exportCommand->add_option("--to", exportOptions.format, "File type to write")
        ->required()
        ->check(CLI::IsMember({"csv", "msl"}));
    exportCommand->add_option("-o,--output", exportOptions.outFile, "File to write")
        ->required()
        ->type_name("OUT");
    exportCommand
        ->add_option("--run", exportOptions.run,
                     "Which recording of a continued file, from 1 (default 1)")
        ->type_name("N");
    auto* exportItems =
        exportCommand
            ->add_option("--items", exportOptions.itemsFile,
                         "Item lines (.tsv) the recording was made with: each column's display "
                         "format comes from its item, by name")
            ->type_name("LIST.tsv");
    auto* exportConfig =
        exportCommand
            ->add_option("--config", exportOptions.configFile,
                         "Configuration file (.xml) the recording was made with, as --items")
            ->type_name("LIST.xml");
    exportItems->excludes(exportConfig);
    exportConfig->excludes(exportItems);

    cli::ImportOptions importOptions;
    auto* importCommand = app.add_subcommand(
        "import", "Makes an item list (.xml or .tsv) of the measurements of an A2L file");
    importCommand->add_option("FILE", importOptions.a2lFile, "Measurement description (.a2l)")
        ->required();
    importCommand
        ->add_option("-o,--output", importOptions.outFile,
                     "Configuration file (.xml) or item lines (.tsv) to write")
        ->required()
        ->type_name("OUT");
    importCommand
        ->add_option("--measurement", importOptions.measurements,
                     "Import this measurement (repeatable; default: every one that maps)")
        ->type_name("NAME")
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    importCommand
        ->add_option("--match", importOptions.match,
                     "Import the measurements whose name matches this regular expression")
        ->type_name("REGEX");
    importCommand
        ->add_option("--address-offset", importOptions.addressOffset,
                     "Hexadecimal offset added to every ECU_ADDRESS, e.g. -80000000")
        ->type_name("[-]HEX");
    importCommand
        ->add_option("--address-bytes", importOptions.addressBytes,
                     "Bytes of an item's address (default 3)")
        ->check(CLI::IsMember({3, 4}));

    cli::DiscoverOptions discover;
    auto* discoverCommand = app.add_subcommand(
        "discover", "Finds the DoIP entities (cars, gateways, benches) on the local network and "
                    "prints the link string of each");
    discoverCommand
        ->add_option("--to", discover.to,
                     "Ask this address only (default: the broadcast address 255.255.255.255)")
        ->type_name("ADDRESS");
    discoverCommand->add_option("--port", discover.port, "UDP port to ask on (default 13400)")
        ->type_name("N")
        ->check(CLI::Range(1, 65535));
    discoverCommand
        ->add_option("--wait", discover.waitMs, "Milliseconds to wait for answers (default 1000)")
        ->type_name("MS")
        ->check(CLI::Range(1, 60000));

    // A first word that names no command is said to be one, rather than
    // leaving the user with "a subcommand is required".
    if (argc > 1 && argv[1][0] != '-' &&
        app.get_subcommands([&](const CLI::App* command) { return command->check_name(argv[1]); })
            .empty()) {
        std::string known;
        for (const CLI::App* command : app.get_subcommands({})) {
            known += (known.empty() ? "" : ", ") + command->get_name();
        }
        std::cerr << "vistrel-cli: unknown command \"" << argv[1] << "\" (commands: " << known
                  << ")\n";
        return cli::kExitUsage;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? cli::kExitSuccess : cli::kExitUsage;
    }

    try {
        if (readCommand->parsed()) {
            return cli::runRead(read, std::cout, std::cerr);
        }
        if (watchCommand->parsed()) {
            return cli::runWatch(watch, std::cout, std::cerr, cli::terminalWidth(STDOUT_FILENO));
        }
        if (exportCommand->parsed()) {
            return cli::runExport(exportOptions, std::cerr);
        }
        if (discoverCommand->parsed()) {
            return cli::runDiscover(discover, std::cout, std::cerr);
        }
        if (importCommand->parsed()) {
            return cli::runImport(importOptions, std::cerr);
        }
        return cli::runConvert(convertIn, convertOut, std::cerr);
    } catch (const std::exception& e) {
        // UsageError, and anything unforeseen: a message, never a crash.
        std::cerr << "vistrel-cli: " << e.what() << '\n';
    }
    return cli::kExitUsage;
}
