#include "graph/point_array.h"

#include <algorithm>

TPointArray::TPointArray(std::initializer_list<TPoint> Points) {
    for (const TPoint& p : Points)
        Add(p);
}

void TPointArray::Add(TPoint Point) {
    // The last block grows by a quarter at a time, up to BlockSize, so that at most a quarter
    // of one block stands empty, however long or short the trace.
    if (blocks_.empty() || blocks_.back().size() == BlockSize)
        blocks_.emplace_back();
    std::vector<TPoint>& block = blocks_.back();
    if (block.size() == block.capacity()) {
        const std::size_t grown = block.capacity() + block.capacity() / 4;
        block.reserve(std::min(std::max<std::size_t>(grown, 64), BlockSize));
    }
    block.push_back(Point);
    ++size_;
    x_.include(Point.X);
    y_.include(Point.Y);
}

void TPointArray::Clear() {
    blocks_.clear();
    blocks_.shrink_to_fit();
    size_ = 0;
    x_ = {};
    y_ = {};
}

std::size_t TPointArray::AllocatedBytes() const {
    std::size_t bytes = blocks_.capacity() * sizeof(std::vector<TPoint>);
    for (const auto& block : blocks_)
        bytes += block.capacity() * sizeof(TPoint);
    return bytes;
}
