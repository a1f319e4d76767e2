// SPDX-License-Identifier: MIT
#include "link/doip_settings.h"

#include "components/byte_string.h"

#include <charconv>

namespace vistrel {
namespace {

constexpr unsigned kLongestWaitMs = 60000;
constexpr std::uint32_t kLargestAddress = 0xFFFF;
// A DoIP link always speaks UDS, so it has no diag key.
constexpr DiagnosticKeyChoice kDoipDiagnosticKeys{false, true};

// HOST or HOST:PORT; an IPv6 address goes in brackets ([fe80::1]:13400).
void readEndpoint(const LinkString& linkString, DoipSettings& settings) {
    const std::string& device = linkString.device;
    const auto bad = [&] {
        return LinkStringError("doip: '" + device +
                               "' is not HOST or HOST:PORT with a port from 1 to 65535 (e.g. "
                               "doip:192.168.0.10 or doip:127.0.0.1:13400)");
    };
    if (device.empty()) {
        throw bad();
    }
    std::string_view host = device;
    std::string_view port;
    if (device.front() == '[') {
        const auto close = device.find(']');
        if (close == std::string::npos) {
            throw bad();
        }
        host = std::string_view(device).substr(1, close - 1);
        const std::string_view rest = std::string_view(device).substr(close + 1);
        if (!rest.empty() && rest.front() != ':') {
            throw bad();
        }
        port = rest.empty() ? rest : rest.substr(1);
        if (!rest.empty() && port.empty()) {
            throw bad();
        }
    } else if (const auto colon = device.find(':'); colon != std::string::npos) {
        host = std::string_view(device).substr(0, colon);
        port = std::string_view(device).substr(colon + 1);
        if (port.empty()) {
            throw bad();
        }
    }
    if (host.empty()) {
        throw bad();
    }
    settings.host = std::string(host);
    if (port.empty()) {
        return;
    }
    unsigned number = 0;
    const auto [stop, failed] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (failed != std::errc{} || stop != port.data() + port.size() || number == 0 ||
        number > 65535) {
        throw bad();
    }
    settings.port = static_cast<std::uint16_t>(number);
}

std::uint16_t address(const LinkKeys& keys, std::string_view key, std::uint16_t fallback) {
    const std::string* text = keys.given(key);
    if (text != nullptr && text->size() != 4) {
        throw LinkStringError("doip: " + std::string(key) + "=" + *text +
                              " is not a logical address (4 hex digits, e.g. 0E00)");
    }
    return static_cast<std::uint16_t>(keys.hexNumber(key, fallback, kLargestAddress));
}

} // namespace

DoipSettings DoipSettings::fromLinkString(const LinkString& linkString) {
    DoipSettings settings;
    const LinkKeys keys(linkString, {"ta", "sa", "activation", "version", "p2max", "timeout",
                                     kSecurityKey, kKeyProgramKey, kRateKey});
    readEndpoint(linkString, settings);
    settings.diagnostic = readDiagnosticKeys(linkString, keys, kDoipDiagnosticKeys);
    settings.tester = address(keys, "sa", settings.tester);
    if (keys.given("ta") != nullptr) {
        settings.target = address(keys, "ta", 0);
    }
    settings.activation = keys.hexByte("activation", settings.activation);
    settings.version = static_cast<std::uint8_t>(keys.number("version", settings.version, 2, 3));
    settings.p2max = std::chrono::milliseconds(
        keys.number("p2max", static_cast<unsigned>(settings.p2max.count()), 1, kLongestWaitMs));
    settings.timeout = std::chrono::milliseconds(
        keys.number("timeout", static_cast<unsigned>(settings.timeout.count()), 1, kLongestWaitMs));
    return settings;
}

std::string toLinkString(const DoipSettings& settings) {
    const DoipSettings defaults;
    LinkString linkString;
    linkString.kind = "doip";
    const bool bracket = settings.host.find(':') != std::string::npos;
    linkString.device = bracket ? "[" + settings.host + "]" : settings.host;
    if (settings.port != defaults.port) {
        linkString.device += ':';
        linkString.device += std::to_string(settings.port);
    }
    if (settings.target) {
        linkString.keys.emplace_back("ta", hexPadded(*settings.target, 4));
    }
    const auto key = [&](const char* name, std::string value, const std::string& fallback) {
        addKeyUnlessDefault(linkString, name, std::move(value), fallback);
    };
    key("sa", hexPadded(settings.tester, 4), hexPadded(defaults.tester, 4));
    key("activation", hexPadded(settings.activation, 2), hexPadded(defaults.activation, 2));
    key("version", std::to_string(settings.version), std::to_string(defaults.version));
    key("p2max", std::to_string(settings.p2max.count()), std::to_string(defaults.p2max.count()));
    key("timeout", std::to_string(settings.timeout.count()),
        std::to_string(defaults.timeout.count()));
    writeDiagnosticKeys(linkString, settings.diagnostic, kDoipDiagnosticKeys);
    return formatLinkString(linkString);
}

} // namespace vistrel
