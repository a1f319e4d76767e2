// SPDX-License-Identifier: MIT
#pragma once

#include "control/ports.h"

#include <vector>

namespace vistrel {

// The grid's seven columns: header texts, alignments and width percentages.
const std::vector<GridColumn>& gridColumns();

} // namespace vistrel
