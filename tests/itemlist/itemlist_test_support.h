// SPDX-License-Identifier: MIT
#pragma once

#include "components/number_format.h"
#include "fakes/recording_message_port.h"
#include "fakes/scratch_directory.h"
#include "fakes/text_files.h"
#include "item/item_test_support.h"
#include "item/vistrel_item.h"

#include <sstream>
#include <string>

namespace vistrel::testing {

// French regional settings: decimal comma, blank as digit grouping.
inline const NumberFormat kFrench{",", " "};
inline const NumberFormat kEnglish{".", ","};

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
