// SPDX-License-Identifier: MIT
#pragma once

#include "engine/read_result.h"

#include <memory>
#include <mutex>
#include <vector>

namespace vistrel {

// Read results lent to the views and taken back when the last view lets go
// of one. A read fills the buffers of an earlier result, on the engine's
// thread, instead of allocating per item there and freeing on the view's
// thread: memory that crosses threads costs more than the read's own work.
// The pool may go before the results it lent; they are then freed.
class ReadResultPool {
public:
    // A result to fill: one that came back, or a new one.
    std::shared_ptr<ReadResult> take();

private:
    struct Returned {
        std::mutex mutex;
        std::vector<std::unique_ptr<ReadResult>> results;
    };
    std::shared_ptr<Returned> returned_ = std::make_shared<Returned>();
};

} // namespace vistrel
