// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "item/vistrel_item.h"

#include <array>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace vistrel::fuzzing {

// An item whose definition the fuzzer picks: any length (also refused ones),
// any coding number, any format, an optional mask of any size.
inline VistrelItem fuzzedItem(FuzzedDataProvider& input) {
    static constexpr std::array<const char*, 5> kFormats{"D", "H", "B", "P", "X"};
    VistrelItem item;
    if (input.ConsumeBool()) {
        item.setMask(input.ConsumeRandomLengthString(20));
    }
    try {
        item.setAddress(input.ConsumeRandomLengthString(16));
    } catch (const Error&) {
        item.setAddress("01A2B3");
    }
    try {
        item.setLength(input.ConsumeIntegralInRange<std::int32_t>(-1, 10));
    } catch (const Error&) {
        // Length 1 then, as for a refused line.
    }
    item.setCoding(static_cast<Coding>(input.ConsumeIntegralInRange<std::int32_t>(0, 3)));
    item.setFormatText(kFormats[input.ConsumeIntegralInRange<std::size_t>(0, kFormats.size() - 1)]);
    item.setCoefA(input.ConsumeFloatingPoint<double>());
    item.setCoefB(input.ConsumeFloatingPoint<double>());
    item.setCoefC(input.ConsumeFloatingPoint<double>());
    return item;
}

// Whatever the read left behind must show without failing, and a good read
// holds exactly the item's length in value bytes.
inline void checkOutcome(const VistrelItem& item) {
    if (item.errorCode() == 0 && !item.valueByte().empty() &&
        item.valueByte().length() != static_cast<std::size_t>(item.length())) {
        __builtin_trap();
    }
    if (item.errorCode() != 0 && item.text() != item.errorText()) {
        __builtin_trap();
    }
    (void)item.text();
    (void)item.formatLabel();
}

} // namespace vistrel::fuzzing
