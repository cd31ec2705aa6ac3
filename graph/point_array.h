#pragma once

#include "graph/extremes.h"

#include <cstddef>
#include <initializer_list>
#include <span>
#include <vector>

namespace graph {

struct Point {
    double x;
    double y;
};

// The points of one trace, in the order added. Append-only apart from Clear, so the running
// extremes of x and y stay exact without ever rescanning the points.
//
// Points live in blocks of at most kBlockSize: a full block is never copied again and only the
// last block has room to spare, so a long measurement costs 16 bytes per point.
class PointArray {
public:
    static constexpr std::size_t kBlockSize = std::size_t{1} << 16;

    PointArray() = default;
    PointArray(std::initializer_list<Point> points);

    void add(Point point);
    void clear();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const Point& operator[](std::size_t index) const {
        return blocks_[index / kBlockSize][index % kBlockSize];
    }

    // Contiguous runs of points in order, for tight loops over all of them.
    std::size_t blockCount() const { return blocks_.size(); }
    std::span<const Point> block(std::size_t index) const { return blocks_[index]; }

    const Extremes& xExtremes() const { return x_; }
    const Extremes& yExtremes() const { return y_; }

    // Heap bytes held for the points.
    std::size_t allocatedBytes() const;

private:
    std::vector<std::vector<Point>> blocks_;
    std::size_t size_ = 0;
    Extremes x_;
    Extremes y_;
};

} // namespace graph
