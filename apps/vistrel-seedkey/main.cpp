// SPDX-License-Identifier: MIT
// vistrel-seedkey: the key program of the simulated ECU's security access,
// called by a tester's link (key=vistrel-seedkey) as a carmaker's would be.

#include "components/byte_string.h"
#include "components/error.h"
#include "components/version.h"
#include "sim/seed_key.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <string>

namespace {

// A seed longer than this is no seed any ECU sends.
constexpr std::size_t kMaxSeedBytes = 64;

int usageError(const std::string& message) {
    std::cerr << "vistrel-seedkey: " << message << '\n';
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Prints the key that the simulated ECU (vistrel-ecu, sim:) expects for a seed of "
                 "its security access, as one line of hexadecimal. The algorithm is a toy: each "
                 "key byte is the seed byte XOR 5A, plus the level, plus the byte's position "
                 "from 0, modulo 256.",
                 "vistrel-seedkey"};
    app.set_version_flag("--version", vistrel::versionBanner("vistrel-seedkey"));
    std::string levelText;
    std::string seedText;
    app.add_option("LL", levelText, "The level of the seed request, an odd hex byte (e.g. 01)")
        ->required();
    app.add_option("SEEDHEX", seedText, "The seed the ECU sent, in hexadecimal (e.g. 1A2B3C4D)")
        ->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    }
    vistrel::ByteString level;
    vistrel::ByteString seed;
    try {
        level = vistrel::ByteString::fromText(levelText);
        seed = vistrel::ByteString::fromText(seedText);
    } catch (const vistrel::Error&) {
        return usageError("LL and SEEDHEX are hexadecimal bytes (two digits each): " + levelText +
                          " " + seedText);
    }
    if (level.length() != 1 || level.byte(0) % 2 == 0 || level.byte(0) > 0x7D) {
        return usageError("LL " + levelText + " is not an odd level from 01 to 7D");
    }
    if (seed.empty() || seed.length() > kMaxSeedBytes) {
        return usageError("SEEDHEX holds 1 to " + std::to_string(kMaxSeedBytes) + " bytes");
    }
    const std::vector<std::uint8_t> key = vistrel::toyKey(level.byte(0), seed.bytes());
    std::cout << vistrel::ByteString(key).text() << '\n';
    return 0;
}
