// SPDX-License-Identifier: MIT
#include "plot/series_store.h"

#include <algorithm>

namespace vistrel {

SeriesStore::SeriesStore(std::size_t seriesCount, std::size_t capacity)
    : seriesCount_(seriesCount), capacity_(std::max<std::size_t>(capacity, 1)), times_(capacity_),
      values_(capacity_ * seriesCount) {}

void SeriesStore::append(double time, std::span<const float> values) {
    std::size_t at = 0;
    if (size_ < capacity_) {
        at = slot(size_);
        ++size_;
    } else {
        at = first_;
        first_ = slot(1);
    }
    times_[at] = time;
    const std::size_t count = std::min(values.size(), seriesCount_);
    float* row = &values_[at * seriesCount_];
    std::copy_n(values.begin(), count, row);
    std::fill(row + count, row + seriesCount_, kGap);
}

void SeriesStore::clear() noexcept {
    first_ = 0;
    size_ = 0;
}

std::size_t SeriesStore::lowerBound(double time) const noexcept {
    std::size_t low = 0;
    std::size_t high = size_;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (this->time(middle) < time) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

std::optional<std::size_t> SeriesStore::lastAtOrBefore(double time) const noexcept {
    const std::size_t after = lowerBound(time);
    if (after < size_ && this->time(after) == time) {
        return after;
    }
    return after == 0 ? std::nullopt : std::optional<std::size_t>(after - 1);
}

double SeriesStore::bytesPerSample() const noexcept {
    const double samples = static_cast<double>(capacity_ * std::max<std::size_t>(seriesCount_, 1));
    return static_cast<double>(times_.size() * sizeof(double) + values_.size() * sizeof(float)) /
           samples;
}

} // namespace vistrel
