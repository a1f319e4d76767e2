// SPDX-License-Identifier: MIT
#include "sim/periodic_scheduler.h"

#include <algorithm>

namespace vistrel {

std::vector<PeriodicScheduler::Entry>::iterator PeriodicScheduler::find(std::uint8_t identifier) {
    return std::find_if(entries_.begin(), entries_.end(),
                        [&](const Entry& entry) { return entry.identifier == identifier; });
}

bool PeriodicScheduler::fits(const std::vector<std::uint8_t>& identifiers) const {
    std::size_t added = 0;
    for (std::size_t i = 0; i < identifiers.size(); ++i) {
        const std::uint8_t identifier = identifiers[i];
        const bool scheduled = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) {
            return e.identifier == identifier;
        });
        const bool repeated =
            std::find(identifiers.begin(), identifiers.begin() + static_cast<std::ptrdiff_t>(i),
                      identifier) != identifiers.begin() + static_cast<std::ptrdiff_t>(i);
        added += scheduled || repeated ? 0 : 1;
    }
    return entries_.size() + added <= capacity_;
}

void PeriodicScheduler::schedule(std::uint8_t identifier, std::chrono::milliseconds period,
                                 TimePoint now) {
    if (const auto found = find(identifier); found != entries_.end()) {
        found->period = period;
        found->next = std::min(found->next, now + period);
        return;
    }
    entries_.push_back({identifier, period, now, 0});
}

void PeriodicScheduler::stop(std::uint8_t identifier) {
    if (const auto found = find(identifier); found != entries_.end()) {
        entries_.erase(found);
    }
}

std::vector<PeriodicScheduler::Due> PeriodicScheduler::due(TimePoint now) {
    std::vector<Due> due;
    for (std::size_t place = 0; place < entries_.size(); ++place) {
        Entry& entry = entries_[place];
        if (entry.next > now) {
            continue;
        }
        entry.next += entry.period;
        if (entry.next <= now) {
            entry.next = now + entry.period;
        }
        due.push_back({entry.identifier, place, ++entry.count});
    }
    return due;
}

std::optional<PeriodicScheduler::TimePoint> PeriodicScheduler::next() const {
    if (entries_.empty()) {
        return std::nullopt;
    }
    return std::min_element(entries_.begin(), entries_.end(),
                            [](const Entry& a, const Entry& b) { return a.next < b.next; })
        ->next;
}

} // namespace vistrel
