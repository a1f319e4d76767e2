// SPDX-License-Identifier: MIT
#include "link/kline_settings.h"

namespace vistrel {

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
    settings.init = static_cast<KLineInit>(keys.choice("init", 0, {"fast", "5baud", "none"}));
    settings.target = keys.hexByte("target", settings.target);
    settings.source = keys.hexByte("source", settings.source);
    settings.p2max = Milliseconds(keys.number("p2max", 50, 1, 60000));
    settings.p3min = Milliseconds(keys.number("p3min", 55, 0, 60000));
    settings.p4min = Milliseconds(keys.number("p4min", 5, 0, 1000));
    settings.echo = static_cast<KLineEcho>(keys.choice("echo", 0, {"auto", "on", "off"}));
    return settings;
}

} // namespace vistrel
