#pragma once

#include "graph/extremes.h"

#include <cstddef>
#include <initializer_list>
#include <span>
#include <vector>

struct TPoint {
    double X;
    double Y;
};

// The points of one trace, in the order added. Append-only apart from Clear, so the running
// extremes of x and y stay exact without ever rescanning the points.
//
// Points live in blocks of at most BlockSize: a full block is never copied again and only the
// last block has room to spare, so a long measurement costs 16 bytes per point.
class TPointArray {
public:
    static constexpr std::size_t BlockSize = std::size_t{1} << 16;

    TPointArray() = default;
    TPointArray(std::initializer_list<TPoint> Points);

    void Add(TPoint Point);
    void Clear();

    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    const TPoint& operator[](std::size_t Index) const {
        return blocks_[Index / BlockSize][Index % BlockSize];
    }

    // Contiguous runs of points in order, for tight loops over all of them.
    std::size_t BlockCount() const { return blocks_.size(); }
    std::span<const TPoint> Block(std::size_t Index) const { return blocks_[Index]; }

    const graph::Extremes& XExtremes() const { return x_; }
    const graph::Extremes& YExtremes() const { return y_; }

    // Heap bytes held for the points.
    std::size_t AllocatedBytes() const;

private:
    std::vector<std::vector<TPoint>> blocks_;
    std::size_t size_ = 0;
    graph::Extremes x_;
    graph::Extremes y_;
};
