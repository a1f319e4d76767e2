// SPDX-License-Identifier: MIT
#pragma once

#include "engine/read_result.h"
#include "engine/step_outcome.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vistrel {

// What the engine tells its views, in the order it happened.
struct EngineEvent {
    StepOutcome outcome;
    // The millisecond clock when the step ended.
    std::uint32_t time = 0;
    // The number the owner gave with the last start, list or link: events of
    // an earlier hand-over describe a list that may no longer be shown.
    std::uint64_t generation = 0;
    // A good read's values; shared, since several views take them.
    std::shared_ptr<const ReadResult> read = {};
    // The armed snapshot went with this read (saved, or dropped when the
    // file could not be written): the snapshot is no longer armed.
    bool snapshotTaken = false;
    // What the link found out about itself while opening (an adapter's
    // fallbacks), given with each successful opening.
    std::vector<std::string> linkNotes = {};
};

} // namespace vistrel
