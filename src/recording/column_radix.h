// SPDX-License-Identifier: MIT
#pragma once

#include "recording/recording_reader.h"

#include <map>
#include <string>
#include <vector>

namespace vistrel {

class VistrelItems;

// How one column of a recording is read as numbers, and whether that is
// known or guessed.
struct ColumnRadix {
    ValueRadix radix = ValueRadix::Decimal;
    // The item list named the column's display format.
    bool fromList = false;
    // Guessed as decimal, but could as well be hexadecimal (see RadixGuess).
    bool ambiguous = false;
};

// The radix of each item of a list, by the item's name with letter case
// ignored, as the list itself compares names.
class ListRadixes {
public:
    explicit ListRadixes(const VistrelItems& items);

    std::optional<ValueRadix> find(std::string_view name) const;
    // Every column of the run names an item of the list.
    bool covers(const RecordingRun& run) const;

private:
    std::map<std::string, ValueRadix, std::less<>> byName_;
};

// The columns' radixes: from the list where it names the column, guessed
// from the values elsewhere (and always without a list).
std::vector<ColumnRadix> columnRadixes(const RecordingRun& run, const ListRadixes* list);

} // namespace vistrel
