// SPDX-License-Identifier: MIT
#include "link/serial_devices.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

namespace vistrel {
namespace {

// The entries of a folder whose names begin with one of the prefixes (all
// of them for an empty list), sorted; none when the folder is missing.
std::vector<std::string> entries(const std::filesystem::path& folder,
                                 std::initializer_list<std::string_view> prefixes) {
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const bool wanted = prefixes.size() == 0 ||
                            std::any_of(prefixes.begin(), prefixes.end(),
                                        [&](auto prefix) { return name.starts_with(prefix); });
        if (wanted) {
            found.push_back(entry.path().string());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

std::vector<std::string> listSerialDevices() {
    std::vector<std::string> devices = entries("/dev/serial/by-id", {});
    const auto ports = entries("/dev", {"ttyUSB", "ttyACM", "rfcomm"});
    devices.insert(devices.end(), ports.begin(), ports.end());
    return devices;
}

} // namespace vistrel
