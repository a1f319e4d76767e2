// SPDX-License-Identifier: MIT
#include "link/kline_settings.h"

#include "components/byte_string.h"

namespace vistrel {
namespace {

constexpr std::string_view kInits[] = {"fast", "5baud", "none"};
constexpr std::string_view kEchoes[] = {"auto", "on", "off"};

} // namespace

KLineSettings KLineSettings::fromLinkString(const LinkString& linkString) {
    if (linkString.device.empty()) {
        throw LinkStringError(linkString.kind +
                              ": no device (kline:DEVICE, e.g. kline:/dev/ttyUSB0)");
    }
    const LinkKeys keys(linkString,
                        {"baud", "init", "target", "source", "p2max", "p3min", "p4min", "echo"});
    KLineSettings settings;
    settings.device = linkString.device;
    settings.baud = keys.number("baud", settings.baud, 300, 500000);
    settings.init =
        static_cast<KLineInit>(keys.choice("init", 0, {kInits[0], kInits[1], kInits[2]}));
    settings.target = keys.hexByte("target", settings.target);
    settings.source = keys.hexByte("source", settings.source);
    settings.p2max = Milliseconds(keys.number("p2max", 50, 1, 60000));
    settings.p3min = Milliseconds(keys.number("p3min", 55, 0, 60000));
    settings.p4min = Milliseconds(keys.number("p4min", 5, 0, 1000));
    settings.echo =
        static_cast<KLineEcho>(keys.choice("echo", 0, {kEchoes[0], kEchoes[1], kEchoes[2]}));
    return settings;
}

std::string toLinkString(const KLineSettings& settings) {
    const KLineSettings defaults;
    LinkString linkString{"kline", settings.device, {}};
    const auto key = [&](const char* name, std::string value, const std::string& fallback) {
        addKeyUnlessDefault(linkString, name, std::move(value), fallback);
    };
    key("baud", std::to_string(settings.baud), std::to_string(defaults.baud));
    key("init", std::string(kInits[static_cast<std::size_t>(settings.init)]), "fast");
    key("target", hexPadded(settings.target, 2), hexPadded(defaults.target, 2));
    key("source", hexPadded(settings.source, 2), hexPadded(defaults.source, 2));
    key("p2max", std::to_string(settings.p2max.count()), std::to_string(defaults.p2max.count()));
    key("p3min", std::to_string(settings.p3min.count()), std::to_string(defaults.p3min.count()));
    key("p4min", std::to_string(settings.p4min.count()), std::to_string(defaults.p4min.count()));
    key("echo", std::string(kEchoes[static_cast<std::size_t>(settings.echo)]), "auto");
    return formatLinkString(linkString);
}

} // namespace vistrel
