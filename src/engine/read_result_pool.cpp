// SPDX-License-Identifier: MIT
#include "engine/read_result_pool.h"

namespace vistrel {
namespace {

// Results kept for reuse; more come back only when a host let reads pile
// up, and those are freed.
constexpr std::size_t kMostKept = 8;

} // namespace

std::shared_ptr<ReadResult> ReadResultPool::take() {
    std::unique_ptr<ReadResult> result;
    {
        const std::lock_guard lock(returned_->mutex);
        if (!returned_->results.empty()) {
            result = std::move(returned_->results.back());
            returned_->results.pop_back();
        }
    }
    if (!result) {
        result = std::make_unique<ReadResult>();
    }
    return {result.release(), [returned = returned_](ReadResult* done) {
                std::unique_ptr<ReadResult> owned(done);
                const std::lock_guard lock(returned->mutex);
                if (returned->results.size() < kMostKept) {
                    returned->results.push_back(std::move(owned));
                }
            }};
}

} // namespace vistrel
