// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace graph {

struct Point {
    double x;
    double y;
};

// A column of numbers: values[i], or in a column without values (base + ticks[i]), whole numbers
// from a base in 4 bytes; either divided by divisor, then multiplied by factor, where those are
// not 1. base is a whole number and every base + ticks[i] within 2^53, so their sum is exact: a
// time stamp of whole milliseconds becomes seconds here, the same number as dividing the
// milliseconds themselves, and a value the counter sent with some decimal places and a unit is
// the value it was read as.
struct NumberColumn {
    const double* values = nullptr;
    const std::int32_t* ticks = nullptr;
    double base = 0;
    double divisor = 1;
    double factor = 1;

    double operator[](std::size_t i) const {
        const double raw = values != nullptr ? values[i] : base + ticks[i];
        const double divided = divisor == 1 ? raw : raw / divisor;
        return factor == 1 ? divided : divided * factor;
    }
    NumberColumn from(std::size_t offset) const {
        return {values != nullptr ? values + offset : nullptr,
                ticks != nullptr ? ticks + offset : nullptr, base, divisor, factor};
    }
    // Where number i is kept, to fetch it ahead.
    const void* address(std::size_t i) const {
        return values != nullptr ? static_cast<const void*>(values + i)
                                 : static_cast<const void*>(ticks + i);
    }
};

// A block of a trace's points in columns.
struct PointBlock {
    std::size_t count = 0;
    NumberColumn x;
    NumberColumn y;

    std::size_t size() const { return count; }
    Point operator[](std::size_t i) const { return {x[i], y[i]}; }
    PointBlock subspan(std::size_t from, std::size_t n) const {
        return {n, x.from(from), y.from(from)};
    }
    PointBlock last(std::size_t n) const { return subspan(size() - n, n); }

    class Iterator {
    public:
        Iterator(const PointBlock* block, std::size_t index) : block_(block), index_(index) {}
        Point operator*() const { return (*block_)[index_]; }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return index_ != other.index_; }

    private:
        const PointBlock* block_;
        std::size_t index_;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, size()}; }
};

// The points of a trace kept elsewhere, read a block at a time: block b holds the points from
// b * PointArray::kBlockSize on, every block but the last full. Points are only ever added.
class PointSource {
public:
    virtual ~PointSource() = default;
    virtual std::size_t size() const = 0;
    virtual PointBlock block(std::size_t index) const = 0;
};

} // namespace graph
