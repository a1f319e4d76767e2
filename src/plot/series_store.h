// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace vistrel {

// The samples of a strip chart: one time and one value per series for each
// read, in a ring that keeps the newest reads. Values are floats (a plot
// needs no more) and a read's time is shared by all its series, so a sample
// costs a little over four bytes. A value that is not a number is a gap: a
// failed read.
class SeriesStore {
public:
    static constexpr float kGap = std::numeric_limits<float>::quiet_NaN();

    SeriesStore(std::size_t seriesCount, std::size_t capacity);

    // One read: its time in seconds (never before the last one) and one
    // value per series. The oldest read makes room when the ring is full.
    void append(double time, std::span<const float> values);
    void clear() noexcept;

    std::size_t seriesCount() const noexcept { return seriesCount_; }
    std::size_t capacity() const noexcept { return capacity_; }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }

    // Read i counted from the oldest kept.
    double time(std::size_t i) const noexcept { return times_[slot(i)]; }
    const float* values(std::size_t i) const noexcept { return &values_[slot(i) * seriesCount_]; }
    // The first read at or after the time; size() when there is none.
    std::size_t lowerBound(double time) const noexcept;
    // The last read at or before the time, if any.
    std::optional<std::size_t> lastAtOrBefore(double time) const noexcept;

    // Bytes held for each stored value, all buffers included.
    double bytesPerSample() const noexcept;

private:
    std::size_t slot(std::size_t i) const noexcept {
        const std::size_t s = first_ + i;
        return s < capacity_ ? s : s - capacity_;
    }

    std::size_t seriesCount_;
    std::size_t capacity_;
    std::size_t first_ = 0;
    std::size_t size_ = 0;
    std::vector<double> times_;
    std::vector<float> values_;
};

} // namespace vistrel
