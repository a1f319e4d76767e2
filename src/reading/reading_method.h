// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace vistrel {

// How the list reads its items. The numbers are those of the list's method
// labels (MethodeLabel) and of the configuration file; the type is open to
// further methods, each with its own label.
enum class Method : std::int32_t {
    ReadMemoryByAddress = 0,
    DynamicallyDefined = 1,
    // Every item defined once in one identifier (or a few), read once a
    // cycle.
    DynamicallyDefinedPacked = 2,
    // Neighbouring items read in one block.
    ReadMemoryByAddressMerged = 3,
    // UDS only: the ECU sends the items by itself, at a fixed rate.
    ReadDataByPeriodicIdentifier = 4,
};

} // namespace vistrel
