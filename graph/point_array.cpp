#include "graph/point_array.h"

#include <algorithm>

namespace graph {

PointArray::PointArray(std::initializer_list<Point> points) {
    for (const Point& p : points)
        add(p);
}

void PointArray::add(Point point) {
    // The last block grows by a quarter at a time, up to kBlockSize, so that at most a quarter
    // of one block stands empty, however long or short the trace.
    if (blocks_.empty() || blocks_.back().size() == kBlockSize)
        blocks_.emplace_back();
    std::vector<Point>& block = blocks_.back();
    if (block.size() == block.capacity()) {
        const std::size_t grown = block.capacity() + block.capacity() / 4;
        block.reserve(std::min(std::max<std::size_t>(grown, 64), kBlockSize));
    }
    block.push_back(point);
    ++size_;
    x_.include(point.x);
    y_.include(point.y);
}

void PointArray::clear() {
    blocks_.clear();
    blocks_.shrink_to_fit();
    size_ = 0;
    x_ = {};
    y_ = {};
}

std::size_t PointArray::allocatedBytes() const {
    std::size_t bytes = blocks_.capacity() * sizeof(std::vector<Point>);
    for (const auto& block : blocks_)
        bytes += block.capacity() * sizeof(Point);
    return bytes;
}

} // namespace graph
