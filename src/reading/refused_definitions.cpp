// SPDX-License-Identifier: MIT
#include "reading/refused_definitions.h"

#include "components/error.h"
#include "components/negative_response.h"
#include "item/vistrel_item.h"
#include "reading/read_tally.h"

namespace vistrel {

void RefusedDefinitions::count(ReadTally& tally) const {
    for (const Refusal& refusal : refused_) {
        tally.countAgain(*refusal.item);
    }
}

} // namespace vistrel
