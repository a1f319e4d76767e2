// SPDX-License-Identifier: MIT
#include "link/can_settings.h"

#include "components/byte_string.h"

#include <algorithm>
#include <charconv>

namespace vistrel {
namespace {

constexpr std::uint32_t kLargest11Bit = 0x7FF;
constexpr std::uint32_t kLargest29Bit = 0x1FFFFFFF;
constexpr std::uint32_t kDefaultTx = 0x7E0;
// 11-bit diagnostic ids answer 8 above the request.
constexpr std::uint32_t kResponseOffset = 8;
constexpr unsigned kLongestWaitMs = 60000;

// The 29-bit normal-fixed identifiers 18DA<target><source>.
bool isNormalFixed(std::uint32_t id) {
    return (id & 0xFFFF0000) == 0x18DA0000;
}

struct Identifier {
    std::uint32_t id = 0;
    bool extended = false;
};

// An identifier of 3 hex digits (11-bit) or 8 (29-bit).
std::optional<Identifier> identifier(const LinkString& linkString, const LinkKeys& keys,
                                     std::string_view key) {
    const std::string* text = keys.given(key);
    if (text == nullptr) {
        return std::nullopt;
    }
    Identifier parsed;
    parsed.extended = text->size() == 8;
    std::uint32_t value = 0;
    const char* end = text->data() + text->size();
    const auto [stop, failed] = std::from_chars(text->data(), end, value, 16);
    const std::uint32_t largest = parsed.extended ? kLargest29Bit : kLargest11Bit;
    if ((text->size() != 3 && text->size() != 8) || failed != std::errc{} || stop != end ||
        value > largest) {
        throw LinkStringError(linkString.kind + ": " + std::string(key) + "=" + *text +
                              " is not a CAN identifier (3 hex digits up to 7FF, or 8 up to "
                              "1FFFFFFF)");
    }
    parsed.id = value;
    return parsed;
}

// The answer id that goes with a request id when none is given.
std::optional<std::uint32_t> impliedRx(std::uint32_t tx, bool extended) {
    if (!extended) {
        return (tx + kResponseOffset) & kLargest11Bit;
    }
    if (isNormalFixed(tx)) {
        return 0x18DA0000 | ((tx & 0xFF) << 8) | ((tx >> 8) & 0xFF);
    }
    return std::nullopt;
}

void readIdentifiers(const LinkString& linkString, const LinkKeys& keys, IsoTpSettings& isotp) {
    const Identifier tx = identifier(linkString, keys, "tx").value_or(Identifier{kDefaultTx});
    isotp.tx = tx.id;
    isotp.extended = tx.extended;
    if (const auto rx = identifier(linkString, keys, "rx")) {
        if (rx->extended != tx.extended) {
            throw LinkStringError(linkString.kind + ": rx=" + *keys.given("rx") +
                                  " is not as wide as tx (both 3 or both 8 hex digits)");
        }
        isotp.rx = rx->id;
    } else if (const auto rxId = impliedRx(tx.id, tx.extended)) {
        isotp.rx = *rxId;
    } else {
        throw LinkStringError(linkString.kind + ": tx=" + *keys.given("tx") +
                              " needs an rx key (only 18DAxxyy has a known answer id)");
    }
}

std::string identifierText(std::uint32_t id, bool extended) {
    return hexPadded(id, extended ? 8 : 3);
}

void readDevice(const LinkString& linkString, CanSettings& settings) {
    const char* example = settings.carrier == CanCarrier::Slcan        ? "slcan:/dev/ttyACM0"
                          : settings.carrier == CanCarrier::Socketcand ? "socketcand:HOST:PORT"
                                                                       : "socketcan:can0";
    if (linkString.device.empty()) {
        throw LinkStringError(linkString.kind + ": no device (e.g. " + example + ")");
    }
    settings.device = linkString.device;
    if (settings.carrier != CanCarrier::Socketcand) {
        return;
    }
    const auto colon = linkString.device.find(':');
    if (colon == std::string::npos) {
        return;
    }
    settings.device = linkString.device.substr(0, colon);
    const std::string port = linkString.device.substr(colon + 1);
    unsigned number = 0;
    const auto [stop, failed] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (settings.device.empty() || failed != std::errc{} || stop != port.data() + port.size() ||
        number == 0 || number > 65535) {
        throw LinkStringError(linkString.kind + ": " + linkString.device +
                              " is not HOST or HOST:PORT with a port number from 1 to 65535");
    }
    settings.port = static_cast<std::uint16_t>(number);
}

// Extended addressing (ext, rxext) and the id of periodic frames (prx).
void readAddressing(const LinkString& linkString, const LinkKeys& keys, CanSettings& settings) {
    IsoTpSettings& isotp = settings.isotp;
    const std::string* ext = keys.given("ext");
    const std::string* rxext = keys.given("rxext");
    if ((ext == nullptr) != (rxext == nullptr)) {
        throw LinkStringError(linkString.kind + ": " +
                              (ext != nullptr ? "ext=" + *ext : "rxext=" + *rxext) +
                              " needs the other one too (ext=XX, the first byte of our frames, "
                              "and rxext=YY, the first byte of the ECU's)");
    }
    if (ext != nullptr) {
        isotp.address = keys.hexByte("ext", 0);
        isotp.rxAddress = keys.hexByte("rxext", 0);
    }
    const auto prx = identifier(linkString, keys, "prx");
    if (prx && !settings.diagnostic.isUds()) {
        throw LinkStringError(linkString.kind + ": prx=" + *keys.given("prx") +
                              " needs diag=uds (KWP2000 links have no periodic frames)");
    }
    if (prx && prx->extended != isotp.extended) {
        throw LinkStringError(linkString.kind + ": prx=" + *keys.given("prx") +
                              " is not as wide as tx (both 3 or both 8 hex digits)");
    }
    if (settings.diagnostic.isUds()) {
        isotp.periodicId = prx ? prx->id : isotp.rx;
    }
}

} // namespace

CanSettings CanSettings::fromLinkString(const LinkString& linkString) {
    CanSettings settings;
    const auto kind =
        std::find(std::begin(kCanLinkKinds), std::end(kCanLinkKinds), linkString.kind);
    if (kind == std::end(kCanLinkKinds)) {
        throw LinkStringError(linkString.kind + ": not a CAN link (slcan, socketcand, socketcan)");
    }
    settings.carrier = static_cast<CanCarrier>(kind - std::begin(kCanLinkKinds));
    const std::initializer_list<std::string_view> common = {
        "tx",  "rx",  "pad",   "stmin",  "bs",         "p2max",        "timeout",
        "prx", "ext", "rxext", kDiagKey, kSecurityKey, kKeyProgramKey, kRateKey};
    std::vector<std::string_view> known(common);
    if (settings.carrier == CanCarrier::Slcan) {
        known.push_back("bitrate");
    } else if (settings.carrier == CanCarrier::Socketcand) {
        known.push_back("bus");
    }
    const LinkKeys keys(linkString, known);
    readDevice(linkString, settings);
    readIdentifiers(linkString, keys, settings.isotp);
    if (keys.isWord("pad", "off")) {
        settings.isotp.padding.reset();
    } else {
        settings.isotp.padding = keys.hexByte("pad", *settings.isotp.padding);
    }
    settings.isotp.separation = static_cast<std::uint8_t>(keys.number("stmin", 0, 0, 127));
    settings.isotp.blockSize = static_cast<std::uint8_t>(keys.number("bs", 0, 0, 255));
    settings.isotp.frameTimeout =
        std::chrono::milliseconds(keys.number("timeout", 1000, 1, kLongestWaitMs));
    settings.isotp.replyTimeout =
        std::chrono::milliseconds(keys.number("p2max", 150, 1, kLongestWaitMs));
    settings.diagnostic = readDiagnosticKeys(linkString, keys, {});
    readAddressing(linkString, keys, settings);
    if (const std::string* bitrate = keys.given("bitrate")) {
        const auto found =
            std::find_if(std::begin(kSlcanBitrates), std::end(kSlcanBitrates),
                         [&](unsigned rate) { return std::to_string(rate) == *bitrate; });
        if (found == std::end(kSlcanBitrates)) {
            throw LinkStringError(linkString.kind + ": bitrate=" + *bitrate +
                                  " is not one of 10000, 20000, 50000, 100000, 125000, 250000, "
                                  "500000, 800000, 1000000");
        }
        settings.bitrate = *found;
    }
    if (const std::string* bus = keys.given("bus")) {
        if (bus->empty() || bus->find_first_of(" <>") != std::string::npos) {
            throw LinkStringError(linkString.kind + ": bus=" + *bus + " is not a bus name");
        }
        settings.bus = *bus;
    }
    return settings;
}

std::string toLinkString(const CanSettings& settings) {
    const CanSettings defaults;
    LinkString linkString;
    linkString.kind = std::string(kCanLinkKinds[static_cast<std::size_t>(settings.carrier)]);
    linkString.device = settings.device;
    if (settings.carrier == CanCarrier::Socketcand && settings.port != defaults.port) {
        linkString.device += ':';
        linkString.device += std::to_string(settings.port);
    }
    const auto key = [&](const char* name, std::string value, const std::string& fallback) {
        addKeyUnlessDefault(linkString, name, std::move(value), fallback);
    };
    const IsoTpSettings& isotp = settings.isotp;
    key("tx", identifierText(isotp.tx, isotp.extended), identifierText(defaults.isotp.tx, false));
    // rx only where it is not the one that goes with tx.
    const auto rx = impliedRx(isotp.tx, isotp.extended);
    key("rx", identifierText(isotp.rx, isotp.extended),
        rx ? identifierText(*rx, isotp.extended) : std::string());
    key("pad", isotp.padding ? hexPadded(*isotp.padding, 2) : "off",
        hexPadded(*defaults.isotp.padding, 2));
    key("stmin", std::to_string(isotp.separation), "0");
    key("bs", std::to_string(isotp.blockSize), "0");
    key("p2max", std::to_string(isotp.replyTimeout.count()),
        std::to_string(defaults.isotp.replyTimeout.count()));
    key("timeout", std::to_string(isotp.frameTimeout.count()),
        std::to_string(defaults.isotp.frameTimeout.count()));
    if (isotp.address && isotp.rxAddress) {
        linkString.keys.emplace_back("ext", hexPadded(*isotp.address, 2));
        linkString.keys.emplace_back("rxext", hexPadded(*isotp.rxAddress, 2));
    }
    writeDiagnosticKeys(linkString, settings.diagnostic, {});
    if (isotp.periodicId && *isotp.periodicId != isotp.rx) {
        linkString.keys.emplace_back("prx", identifierText(*isotp.periodicId, isotp.extended));
    }
    if (settings.carrier == CanCarrier::Slcan) {
        key("bitrate", std::to_string(settings.bitrate), std::to_string(defaults.bitrate));
    }
    if (settings.carrier == CanCarrier::Socketcand) {
        key("bus", settings.bus, defaults.bus);
    }
    return formatLinkString(linkString);
}

} // namespace vistrel
