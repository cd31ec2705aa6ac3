// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <span>

namespace analysis {

// A growing array of doubles in one piece whose growth never copies all of it at once: from three
// quarters full on, a buffer twice the size is filled alongside, a few values per append, and takes
// over once it holds them all. An append thus costs O(1) at worst; a plain vector's doubling would
// stall the reading that triggers it for tens of milliseconds at millions of values.
class SteadyBuffer {
public:
    // Room for capacity values in one piece now; no bigger buffer is prepared before that is
    // used up (an analysis that knows its length copies nothing).
    void reserve(std::size_t capacity);
    void push_back(double value);

    double back() const { return data_[size_ - 1]; }
    std::size_t size() const { return size_; }
    std::span<const double> values() const { return {data_.get(), size_}; }
    std::size_t memoryBytes() const { return (capacity_ + nextCapacity_) * sizeof(double); }

private:
    void replaceBy(std::size_t capacity);

    std::unique_ptr<double[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t reserved_ = 0;
    std::unique_ptr<double[]> next_; // the bigger buffer being filled, if any
    std::size_t nextCapacity_ = 0;
    std::size_t copied_ = 0;
};

} // namespace analysis
