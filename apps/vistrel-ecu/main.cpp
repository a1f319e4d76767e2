// SPDX-License-Identifier: MIT
// vistrel-ecu: the simulated ECU on a serial line, for testing real links
// without a car.

#include "cli/interrupt_flag.h"
#include "components/error.h"
#include "components/version.h"
#include "link/can_settings.h"
#include "link/link_string.h"
#include "link/pseudo_terminal.h"
#include "link/tcp_socket.h"
#include "link/udp_socket.h"
#include "sim/demo_ecu.h"
#include "sim/doip_entity.h"
#include "sim/ecu_description.h"
#include "sim/ecu_responder.h"
#include "sim/elm_adapter_service.h"
#include "sim/kline_ecu.h"
#include "sim/slcan_adapter.h"
#include "sim/socketcand_server.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <thread>

namespace {

using namespace vistrel;

// How long the line stays away after a hang-up fault before it comes back.
constexpr auto kUnpluggedTime = std::chrono::seconds(1);
// The speed adapters leave the factory with.
constexpr unsigned kAdapterBaud = 38400;
// How often the server looks at the interrupt while no tester connects.
constexpr auto kAcceptSlice = std::chrono::milliseconds(100);

struct Options {
    std::string ecuFile;
    bool kline = false;
    bool elm = false;
    bool slcan = false;
    bool socketcand = false;
    bool doip = false;
    unsigned port = 29536;
    std::string ids = "7E0/7E8";
    std::string periodicId;
    std::string requestAddress;
    std::string replyAddress;
    std::string flowControl = "0/0";
    bool clone = false;
    bool pty = false;
    std::string ptyLink;
    std::string device;
    unsigned baud = 10400;
    std::string address = "10";
    std::string keyBytes = "EF8F";
    unsigned p1 = 0;
    unsigned p2 = 25;
    bool noEcho = false;
    std::vector<std::string> faults;
    std::vector<std::string> quirks;
    bool log = false;
};

// With --log: each request on a line of its own, after the milliseconds
// since the start, so that a test times what a tester did by the ECU's clock.
std::function<void(const std::string&)> requestLog(const Options& options) {
    if (!options.log) {
        return {};
    }
    return [start = std::chrono::steady_clock::now()](const std::string& what) {
        const std::chrono::duration<double, std::milli> since =
            std::chrono::steady_clock::now() - start;
        std::cout << static_cast<long long>(since.count()) << ' ' << what << std::endl;
    };
}

ElmQuirks quirksFrom(const Options& options) {
    ElmQuirks quirks;
    for (const auto& text : options.quirks) {
        const auto applied = applyElmQuirk(quirks, text);
        if (!applied) {
            throw LinkStringError("--quirk: " + text + " is not one of " + elmQuirkNames());
        }
        quirks = *applied;
    }
    return quirks;
}

std::uint8_t hexByte(const std::string& text, const char* option) {
    const LinkString linkString{option, "", {{"value", text}}};
    return LinkKeys(linkString, {"value"}).hexByte("value", 0);
}

std::vector<WireFaultRule> faultsFrom(const Options& options) {
    std::vector<WireFaultRule> faults;
    for (const auto& text : options.faults) {
        const auto rule = parseWireFault(text);
        if (!rule) {
            throw LinkStringError("--fault: " + text + " is not KIND or KIND:N with KIND one of " +
                                  wireFaultNames());
        }
        faults.push_back(*rule);
    }
    return faults;
}

// "A/B" as two parts, each read by the link-string key readers.
std::pair<std::string, std::string> halves(const std::string& text, const char* option,
                                           const char* form) {
    const auto slash = text.find('/');
    if (slash == std::string::npos) {
        throw LinkStringError(std::string(option) + ": " + text + " is not of the form " + form);
    }
    return {text.substr(0, slash), text.substr(slash + 1)};
}

IsoTpEcuSettings canSettingsFrom(const Options& options) {
    IsoTpEcuSettings settings;
    // The ids read as a tester's link string reads them, so both sides agree
    // on what 3 and 8 digits mean.
    const auto [request, reply] = halves(options.ids, "--ids", "TX/RX (e.g. 7E0/7E8)");
    CanSettings read;
    try {
        read = CanSettings::fromLinkString(
            LinkString{"socketcan", "can0", {{"tx", request}, {"rx", reply}}});
    } catch (const LinkStringError& e) {
        throw LinkStringError(std::string("--ids: ") + e.what());
    }
    settings.requestId = read.isotp.tx;
    settings.replyId = read.isotp.rx;
    settings.extended = read.isotp.extended;
    if (!options.requestAddress.empty()) {
        settings.requestAddress = hexByte(options.requestAddress, "--ext");
        settings.replyAddress = hexByte(options.replyAddress, "--rxext");
    }
    if (!options.periodicId.empty()) {
        const LinkString prx{"--prx", "", {{"id", options.periodicId}}};
        settings.periodicId =
            LinkKeys(prx, {"id"}).hexNumber("id", 0, settings.extended ? 0x1FFFFFFF : 0x7FF);
    }
    const auto [bs, stmin] = halves(options.flowControl, "--fc", "BS/STMIN (e.g. 8/1)");
    const LinkString flow{"--fc", "", {{"bs", bs}, {"stmin", stmin}}};
    const LinkKeys keys(flow, {"bs", "stmin"});
    settings.blockSize = static_cast<std::uint8_t>(keys.number("bs", 0, 0, 255));
    settings.separation = static_cast<std::uint8_t>(keys.hexByte("stmin", 0));
    settings.faults = faultsFrom(options);
    settings.log = requestLog(options);
    return settings;
}

KLineEcuSettings settingsFrom(const Options& options) {
    KLineEcuSettings settings;
    settings.address = hexByte(options.address, "--address");
    if (options.keyBytes.size() != 4) {
        throw LinkStringError("--key-bytes: " + options.keyBytes +
                              " is not two bytes in hexadecimal (e.g. EF8F)");
    }
    settings.kb1 = hexByte(options.keyBytes.substr(0, 2), "--key-bytes");
    settings.kb2 = hexByte(options.keyBytes.substr(2), "--key-bytes");
    settings.p1 = std::chrono::milliseconds(options.p1);
    settings.p2 = std::chrono::milliseconds(options.p2);
    settings.echo = !options.noEcho;
    settings.faults = faultsFrom(options);
    settings.log = requestLog(options);
    return settings;
}

// Points the stable name at the current pseudo-terminal, as udev does for a
// cable under /dev/serial/by-id.
void pointLink(const std::string& link, const std::string& target) {
    if (link.empty()) {
        return;
    }
    const std::string fresh = link + ".new";
    std::filesystem::remove(fresh);
    std::filesystem::create_symlink(target, fresh);
    std::filesystem::rename(fresh, link);
}

// The stable name goes with the process: a name left behind would point
// the next user at a terminal nobody serves.
class LinkNameRemover {
public:
    explicit LinkNameRemover(std::string link) : link_(std::move(link)) {}
    ~LinkNameRemover() {
        if (!link_.empty()) {
            std::error_code ignored;
            std::filesystem::remove(link_, ignored);
        }
    }
    LinkNameRemover(const LinkNameRemover&) = delete;
    LinkNameRemover& operator=(const LinkNameRemover&) = delete;

private:
    std::string link_;
};

KLineEcu::Outcome serveOnePseudoTerminal(KLineEcu& ecu, const Options& options,
                                         const std::function<bool()>& keepGoing) {
    PseudoTerminal pty;
    pointLink(options.ptyLink, pty.slavePath());
    std::cout << pty.slavePath() << std::endl;
    return ecu.serve(pty.master(), keepGoing);
}

int servePseudoTerminals(KLineEcu& ecu, const Options& options,
                         const cli::InterruptFlag& interrupt) {
    const std::function<bool()> keepGoing = [&] { return !interrupt.raised(); };
    for (;;) {
        if (serveOnePseudoTerminal(ecu, options, keepGoing) == KLineEcu::Outcome::Stopped) {
            return 0;
        }
        // The line is gone now, as a pulled cable; it comes back after a
        // while under the same link name.
        std::cerr << "vistrel-ecu: line hung up\n";
        std::this_thread::sleep_for(kUnpluggedTime);
        if (interrupt.raised()) {
            return 0;
        }
    }
}

// An adapter serves until interrupted, on a pseudo-terminal (its path
// printed first) or on a device at baud; the line stays for its whole life.
template <typename Adapter>
int serveAdapterLine(Adapter& adapter, const Options& options, unsigned baud,
                     const cli::InterruptFlag& interrupt) {
    const std::function<bool()> keepGoing = [&] { return !interrupt.raised(); };
    if (options.pty) {
        PseudoTerminal pty;
        pointLink(options.ptyLink, pty.slavePath());
        std::cout << pty.slavePath() << std::endl;
        adapter.serve(pty.master(), keepGoing);
        return 0;
    }
    const auto line = openSerialDevice(options.device, baud);
    adapter.serve(*line, keepGoing);
    return 0;
}

int serveAdapter(const Options& options, bool baudGiven, const cli::InterruptFlag& interrupt) {
    ElmAdapterService adapter(loadEcuDescription(options.ecuFile), options.clone,
                              quirksFrom(options));
    return serveAdapterLine(adapter, options, baudGiven ? options.baud : kAdapterBaud, interrupt);
}

int serveSlcan(const Options& options, const cli::InterruptFlag& interrupt) {
    SlcanAdapter adapter(loadEcuDescription(options.ecuFile), canSettingsFrom(options));
    return serveAdapterLine(adapter, options, options.baud, interrupt);
}

std::uint16_t portFrom(const Options& options) {
    if (options.port > 65535) {
        throw LinkStringError("--port: " + std::to_string(options.port) + " is not a port number");
    }
    return static_cast<std::uint16_t>(options.port);
}

DoipEntitySettings doipSettingsFrom(const Options& options) {
    DoipEntitySettings settings;
    const LinkString address{"--address", "", {{"value", options.address}}};
    settings.address =
        static_cast<std::uint16_t>(LinkKeys(address, {"value"}).hexNumber("value", 0, 0xFFFF));
    for (const auto& text : options.faults) {
        if (!addDoipFault(settings.faults, text)) {
            throw LinkStringError("--fault: " + text + " is not one of " + doipFaultNames());
        }
    }
    return settings;
}

// A DoIP entity on 127.0.0.1: TCP for testers and UDP for discovery on the
// same port number. DoIP carries UDS, so without a description the ECU
// behind it is the demo car's UDS twin; a KWP2000 description is served as
// it is, for the link to name the mismatch.
int serveDoip(const Options& options, const cli::InterruptFlag& interrupt) {
    const auto responder = makeResponder(
        loadEcuDescription(options.ecuFile.empty() ? std::string(kDemoUdsName) : options.ecuFile));
    DoipEntity entity(doipSettingsFrom(options), [&responder](const ByteString& request) {
        ByteString reply;
        responder->answer(request.bytes(), reply);
        return reply;
    });
    TcpListener listener(portFrom(options));
    UdpSocket discovery("127.0.0.1", listener.port());
    std::cout << "127.0.0.1:" << listener.port() << std::endl;
    entity.serve(listener, discovery, [&] { return !interrupt.raised(); });
    return 0;
}

// The server takes one tester at a time, as many in turn as come.
int serveSocketcand(const Options& options, const cli::InterruptFlag& interrupt) {
    SocketcandServer server(loadEcuDescription(options.ecuFile), canSettingsFrom(options));
    TcpListener listener(portFrom(options));
    std::cout << "127.0.0.1:" << listener.port() << std::endl;
    const std::function<bool()> keepGoing = [&] { return !interrupt.raised(); };
    while (keepGoing()) {
        if (const auto connection = listener.accept(ByteLine::Clock::now() + kAcceptSlice)) {
            server.serve(*connection, keepGoing);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Serves a simulated ECU on a serial line, as a K-line ECU or behind an ELM327 adapter, "
        "on CAN behind an slcan adapter or a socketcand server, or as a DoIP entity.",
        "vistrel-ecu"};
    app.set_version_flag("--version", versionBanner("vistrel-ecu"));
    Options options;
    app.set_version_flag("--version", versionBanner("vistrel-ecu"));
    auto* ecu = app.add_option("--ecu", options.ecuFile,
                               "ECU description (default: the built-in demo car; \"uds\": its UDS "
                               "twin)")
                    ->type_name("FILE");
    app.add_option("DESCRIPTION", options.ecuFile, "The ECU description, as --ecu")->excludes(ecu);
    auto* kline =
        app.add_flag("--kline", options.kline, "Answer as an ISO 14230-2 ECU on a K-line");
    auto* elm = app.add_flag("--elm", options.elm,
                             "Answer as an ELM327 adapter in front of the ECU (K-line and CAN)");
    auto* slcan = app.add_flag("--slcan", options.slcan,
                               "Answer as an slcan CAN adapter with the ECU on its bus");
    auto* socketcand =
        app.add_flag("--socketcand", options.socketcand,
                     "Answer as a socketcand server on 127.0.0.1 with the ECU on bus can0");
    auto* doip = app.add_flag("--doip", options.doip,
                              "Answer as a DoIP entity on 127.0.0.1 (TCP, and UDP for discovery on "
                              "the same port) with the ECU behind it");
    kline->excludes(elm, slcan, socketcand, doip);
    elm->excludes(slcan, socketcand, doip);
    slcan->excludes(socketcand, doip);
    socketcand->excludes(doip);
    auto* port = app.add_option("--port", options.port,
                                "With --socketcand or --doip: the TCP port (default 29536, or "
                                "13400 for DoIP; 0 for any free one)");
    app.add_option("--ids", options.ids,
                   "On CAN: the request and answer ids, TX/RX (default 7E0/7E8; 8 digits for "
                   "29-bit)");
    app.add_option("--prx", options.periodicId,
                   "On CAN with a UDS description: the id of the periodic frames (hex; default "
                   "the answer id)")
        ->type_name("ID");
    auto* ext = app.add_option("--ext", options.requestAddress,
                               "On CAN: extended addressing, the first byte of the tester's "
                               "frames (hex; as the tester's link key ext)")
                    ->type_name("XX");
    auto* rxext = app.add_option("--rxext", options.replyAddress,
                                 "With --ext: the first byte of the ECU's frames (hex; as the "
                                 "tester's link key rxext)")
                      ->type_name("YY");
    ext->needs(rxext);
    rxext->needs(ext);
    app.add_option("--fc", options.flowControl,
                   "On CAN: the block size and separation time (hex) of the ECU's flow control, "
                   "BS/STMIN (default 0/0)");
    app.add_flag("--clone", options.clone, "With --elm: lack ATFI, ATAL and ATWM as many clones do")
        ->needs(elm);
    app.add_option("--quirk", options.quirks,
                   "With --elm: behave as some real adapters or ECUs do; one of " +
                       elmQuirkNames() + " (N: how many pending replies, every N-th request)")
        ->type_name("QUIRK")
        ->needs(elm);
    auto* pty = app.add_flag("--pty", options.pty,
                             "Open a pseudo-terminal and print its path on the first line");
    auto* device =
        app.add_option("--device", options.device, "Serve on this serial device")->type_name("DEV");
    pty->excludes(device);
    device->excludes(pty);
    app.add_option("--pty-link", options.ptyLink,
                   "Keep this symbolic link pointing at the current pseudo-terminal")
        ->type_name("PATH")
        ->needs(pty);
    auto* baud = app.add_option("--baud", options.baud,
                                "Baud rate of --device (default 10400, 38400 with --elm)");
    app.add_option("--address", options.address,
                   "The ECU's address (hex, default 10); with --doip its logical address");
    app.add_option("--key-bytes", options.keyBytes,
                   "KB1 KB2 of the StartCommunication reply (hex, default EF8F)");
    app.add_option("--p1", options.p1, "Milliseconds between the bytes of a reply (default 0)");
    app.add_option("--p2", options.p2, "Milliseconds before a reply (default 25)");
    app.add_flag("--no-echo", options.noEcho, "Do not echo the tester's bytes");
    app.add_option("--fault", options.faults,
                   "KIND[:N]: a fault on every N-th request (default 5; for fc-wait the number "
                   "of WAITs before each go-ahead; nrc:37 on every N-th seed request; "
                   "periodic-stop after N frames of the first periodic identifier; no-padding, "
                   "noise and new-seed on every one); KIND is one of " +
                       wireFaultNames() + ". With --doip: one of " + doipFaultNames() +
                       " (faults of diagnostic messages hit every second one; close:N drops the "
                       "connection after N messages)")
        ->type_name("KIND[:N]");
    app.add_flag("--log", options.log,
                 "With --kline, --slcan or --socketcand: print each request, after the "
                 "milliseconds since the start");
    try {
        app.parse(argc, argv);
        if (!options.kline && !options.elm && !options.slcan && !options.socketcand &&
            !options.doip) {
            throw CLI::RequiredError("--kline, --elm, --slcan, --socketcand or --doip");
        }
        if (port->count() > 0 && !options.socketcand && !options.doip) {
            throw CLI::ValidationError("--port", "needs --socketcand or --doip");
        }
        if (options.doip && port->count() == 0) {
            options.port = doip::kPort;
        }
        if (!options.socketcand && !options.doip && !options.pty && options.device.empty()) {
            throw CLI::RequiredError("--pty or --device");
        }
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    }

    try {
        const cli::InterruptFlag interrupt;
        const LinkNameRemover linkName(options.pty ? options.ptyLink : std::string());
        if (options.elm) {
            return serveAdapter(options, baud->count() > 0, interrupt);
        }
        if (options.slcan) {
            return serveSlcan(options, interrupt);
        }
        if (options.socketcand) {
            return serveSocketcand(options, interrupt);
        }
        if (options.doip) {
            return serveDoip(options, interrupt);
        }
        KLineEcu ecu(loadEcuDescription(options.ecuFile), settingsFrom(options));
        if (options.pty) {
            return servePseudoTerminals(ecu, options, interrupt);
        }
        const auto line = openSerialDevice(options.device, options.baud);
        ecu.serve(*line, [&] { return !interrupt.raised(); });
        return 0;
    } catch (const LinkStringError& e) {
        std::cerr << "vistrel-ecu: " << e.what() << '\n';
        return 2;
    } catch (const Error& e) {
        std::cerr << "vistrel-ecu: " << e.description() << '\n';
        return 1;
    }
}
