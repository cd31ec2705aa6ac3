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

// A block of a trace's points in columns. The x of point i is xValues[i] / xDivisor, or in a
// block without xValues (xBase + xTicks[i]) / xDivisor: time stamps of whole milliseconds take 4
// bytes and become seconds here, the same number as dividing the milliseconds themselves.
// xBase is a whole number and every xBase + xTicks[i] within 2^53, so their sum is exact.
struct PointBlock {
    std::span<const double> y;
    const double* xValues = nullptr;
    const std::int32_t* xTicks = nullptr;
    double xBase = 0;
    double xDivisor = 1;

    std::size_t size() const { return y.size(); }
    double x(std::size_t i) const {
        const double raw = xValues != nullptr ? xValues[i] : xBase + xTicks[i];
        return xDivisor == 1 ? raw : raw / xDivisor;
    }
    Point operator[](std::size_t i) const { return {x(i), y[i]}; }
    PointBlock subspan(std::size_t from, std::size_t count) const {
        return {y.subspan(from, count), xValues != nullptr ? xValues + from : nullptr,
                xTicks != nullptr ? xTicks + from : nullptr, xBase, xDivisor};
    }
    PointBlock last(std::size_t count) const { return subspan(size() - count, count); }

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
