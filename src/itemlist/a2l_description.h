// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vistrel {

// What an import takes from a MEASUREMENT block.
struct A2lMeasurement {
    std::string name;
    std::string longIdentifier;
    std::string datatype;
    std::string conversion;
    std::optional<long long> ecuAddress;
    std::optional<long long> bitMask;
    std::string byteOrder;      // "" when the block gives none
    long long elementCount = 1; // ARRAY_SIZE, or the product of MATRIX_DIM
    bool isVirtual = false;
    std::optional<std::string> physUnit;
};

// What an import takes from a COMPU_METHOD block.
struct A2lCompuMethod {
    std::string conversionType;
    std::string unit;
    std::vector<double> coeffs;       // COEFFS a b c d e f
    std::vector<double> coeffsLinear; // COEFFS_LINEAR a b
};

// A measurement description (ASAM MCD-2 MC) as far as an item list needs it,
// the measurements in file order (an included file's where its /include
// stands).
struct A2lDescription {
    std::vector<A2lMeasurement> measurements;
    std::unordered_map<std::string, A2lCompuMethod> compuMethods;
    std::unordered_set<std::string> compuTables; // COMPU_VTAB names
    std::string moduleByteOrder;                 // MOD_COMMON's BYTE_ORDER, "" when none
};

} // namespace vistrel
