// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/steady_buffer.h"

#include <algorithm>

namespace analysis {

namespace {

// Below this the copy is too short to be worth spreading.
constexpr std::size_t kSmallCapacity = 4096;
// Started at three quarters full, copying 8 values per append overtakes the appends before the
// old buffer is 86 % full.
constexpr std::size_t kCopiesPerAppend = 8;

} // namespace

void SteadyBuffer::reserve(std::size_t capacity) {
    if (capacity > capacity_ && !next_) {
        replaceBy(capacity);
        reserved_ = capacity;
    }
}

void SteadyBuffer::replaceBy(std::size_t capacity) {
    auto bigger = std::make_unique_for_overwrite<double[]>(capacity);
    std::copy(data_.get(), data_.get() + size_, bigger.get());
    data_ = std::move(bigger);
    capacity_ = capacity;
}

void SteadyBuffer::push_back(double value) {
    if (size_ == capacity_) {
        replaceBy(std::max<std::size_t>(16, 2 * capacity_));
    }
    data_[size_++] = value;
    if (!next_ && capacity_ >= kSmallCapacity && capacity_ > reserved_ &&
        4 * size_ >= 3 * capacity_) {
        nextCapacity_ = 2 * capacity_;
        next_ = std::make_unique_for_overwrite<double[]>(nextCapacity_);
        copied_ = 0;
    }
    if (next_) {
        const std::size_t until = std::min(size_, copied_ + kCopiesPerAppend);
        std::copy(data_.get() + copied_, data_.get() + until, next_.get() + copied_);
        copied_ = until;
        if (copied_ == size_) {
            data_ = std::move(next_);
            capacity_ = nextCapacity_;
            nextCapacity_ = 0;
        }
    }
}

} // namespace analysis
