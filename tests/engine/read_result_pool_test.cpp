// SPDX-License-Identifier: MIT
#include "engine/read_result_pool.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

// A result comes back for the next read only when no view holds it any
// more, with its buffers; one that outlives the pool is simply freed.
TEST(ReadResultPool, LendsAResultAgainOnlyOnceEveryViewLetGo) {
    auto pool = std::make_unique<ReadResultPool>();
    std::shared_ptr<ReadResult> first = pool->take();
    first->items.resize(3);
    const ReadResult* lent = first.get();
    std::shared_ptr<const ReadResult> view = first;
    first.reset();
    std::shared_ptr<ReadResult> second = pool->take();
    EXPECT_NE(second.get(), lent);
    view.reset();
    const std::shared_ptr<ReadResult> third = pool->take();
    EXPECT_EQ(third.get(), lent);
    EXPECT_EQ(third->items.size(), 3U);
    pool.reset();
    second.reset();
}

} // namespace
} // namespace vistrel
