#include "graph/point_array.h"

#include <algorithm>

TPointArray::TPointArray(std::initializer_list<TPoint> Points) {
    for (const TPoint& p : Points)
        Add(p);
}

void TPointArray::Add(TPoint Point) {
    // Short traces stay small: a block grows by doubling, but never beyond BlockSize, and a
    // block after the first is allocated at full size at once.
    if (blocks_.empty() || blocks_.back().size() == BlockSize) {
        blocks_.emplace_back();
        if (blocks_.size() > 1)
            blocks_.back().reserve(BlockSize);
    }
    std::vector<TPoint>& block = blocks_.back();
    if (block.size() == block.capacity())
        block.reserve(std::min(std::max<std::size_t>(2 * block.capacity(), 16), BlockSize));
    block.push_back(Point);
    ++size_;
    x_.Include(Point.X);
    y_.Include(Point.Y);
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
