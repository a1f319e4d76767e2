// SPDX-License-Identifier: MIT
#pragma once

#include "components/number_format.h"
#include "fakes/recording_message_port.h"
#include "fakes/scratch_directory.h"
#include "item/item_test_support.h"
#include "item/vistrel_item.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace vistrel::testing {

// French regional settings: decimal comma, blank as digit grouping.
inline const NumberFormat kFrench{",", " "};
inline const NumberFormat kEnglish{".", ","};

inline void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every field of an item's definition in one line, so that a table can give
// the expected item as one text.
inline std::string definitionOf(const VistrelItem& item) {
    std::ostringstream out;
    out << item.address() << " len=" << item.length() << " mask=" << item.mask() << ' '
        << item.codingText() << ' ' << item.formatText() << " name=" << item.name()
        << " unit=" << item.unit() << " A=" << item.coefA() << " B=" << item.coefB()
        << " C=" << item.coefC();
    return out.str();
}

} // namespace vistrel::testing
