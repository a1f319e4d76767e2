// SPDX-License-Identifier: MIT
#pragma once

#include "components/diagnostic_family.h"
#include "sim/ecu_faults.h"
#include "sim/memory_map.h"
#include "sim/signal_wave.h"
#include "sim/uds_settings.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

// Everything an ECU description file says, checked and ready to run.
struct EcuDescription {
    std::string title = "Simulated ECU";
    std::string subtitle;
    std::string protocolName = "KWP2000";
    // The services the ECU answers: KWP2000, or UDS with the settings below.
    DiagnosticFamily family = DiagnosticFamily::Kwp2000;
    UdsSettings uds;
    // ISO-TP extended addressing on CAN: the first byte of the tester's
    // frames that the ECU takes (ext), and of the ECU's own frames (rxext).
    std::optional<std::uint8_t> ext;
    std::optional<std::uint8_t> rxext;
    // Bytes in an address, 1 to 4.
    std::uint32_t addressSize = 3;
    std::int32_t rid = 0;
    std::int32_t xid = 0;
    std::uint32_t latencyUs = 0;
    // Memory and image blocks; they overlap neither each other nor a signal.
    std::vector<MemoryBlock> blocks;
    std::vector<Signal> signals;
    EcuFaults faults;
    // The dynamically defined read answers 61 E0 xx data instead of 61 E0 data.
    bool ddliExtraByte = false;
    // The most data bytes one dynamically defined identifier may gather.
    std::uint32_t ddliMaxBytes = 64;
};

// Reads an ECU description. sourceName names the text in messages;
// baseDirectory resolves the files of "image" elements. Throws
// Error(kBadDescriptionError, "<sourceName>:<line>: <what>") for anything it
// does not accept.
EcuDescription parseEcuDescription(std::string_view xml, const std::string& sourceName,
                                   const std::filesystem::path& baseDirectory);

// Reads the ECU description file at path; the built-in demo car for an
// empty path, its UDS twin for "uds". Throws Error(kBadDescriptionError) as parseEcuDescription,
// and for a file that cannot be read.
EcuDescription loadEcuDescription(const std::string& path);

} // namespace vistrel
