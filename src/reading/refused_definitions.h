// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <vector>

namespace vistrel {

class VistrelItem;
struct ReadTally;

// The items whose definition in an identifier the ECU refused, and when. A
// refusal may pass (a range locked for a while, a busy ECU): each is offered
// again, alone, once it is five seconds old; meanwhile the item keeps
// showing it.
class RefusedDefinitions {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    static constexpr auto kRetryAfter = std::chrono::seconds(5);

    void clear() noexcept { refused_.clear(); }
    void add(VistrelItem* item, TimePoint at) { refused_.push_back({item, at}); }
    // Offers each refusal old enough by now: offer says whether the ECU took
    // the item this time; a refusal taken is forgotten, the others wait five
    // seconds more. What offer throws goes to the caller.
    template <typename Offer> void offerDue(TimePoint now, Offer&& offer) {
        for (Refusal& refusal : refused_) {
            if (now - refusal.at < kRetryAfter) {
                continue;
            }
            if (offer(*refusal.item)) {
                refusal.item = nullptr;
            } else {
                refusal.at = now;
            }
        }
        std::erase_if(refused_, [](const Refusal& refusal) { return refusal.item == nullptr; });
    }
    // Each refused item counts again, as it did when it was refused.
    void count(ReadTally& tally) const;

private:
    struct Refusal {
        VistrelItem* item = nullptr;
        TimePoint at{};
    };
    std::vector<Refusal> refused_;
};

} // namespace vistrel
