// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/row_sets.h"

#include "graph/point_mapping.h"

#include <algorithm>

namespace graph {

namespace {

std::size_t pointsOf(std::size_t level) {
    return level == 0 ? RunSummary::kPoints : GroupSummary::points(level - 1);
}

} // namespace

void RowSets::begin(const Terms& terms) {
    making_ = held_ && terms == terms_;
    terms_ = terms;
    held_ = true;
    if (!making_) {
        entries_.clear();
        words_.clear();
    }
    cursor_ = 0;
    nextEntries_.clear();
    nextWords_.clear();
}

void RowSets::end() {
    if (!making_)
        return;
    entries_.swap(nextEntries_);
    words_.swap(nextWords_);
}

std::span<const std::uint64_t> RowSets::rows(const PointArray& points, const PixelMapper& mapper,
                                             std::size_t level, std::size_t start) {
    if (!making_)
        return {};
    while (cursor_ < entries_.size() && entries_[cursor_].start < start)
        ++cursor_;
    const auto words = static_cast<std::size_t>(terms_.wordsPerColumn);
    const std::size_t offset = nextWords_.size();
    nextWords_.resize(offset + words, 0);
    std::uint64_t* set = nextWords_.data() + offset;
    if (const std::uint64_t* old = kept(level, start, cursor_))
        std::copy(old, old + words, set);
    else
        addRows(points, mapper, level, start, set);
    nextEntries_.push_back({start, level, offset});
    return {set, words};
}

const std::uint64_t* RowSets::kept(std::size_t level, std::size_t start, std::size_t from) const {
    for (std::size_t i = from; i < entries_.size() && entries_[i].start <= start; ++i)
        if (entries_[i].start == start && entries_[i].level == level)
            return words_.data() + entries_[i].offset;
    return nullptr;
}

void RowSets::addRows(const PointArray& points, const PixelMapper& mapper, std::size_t level,
                      std::size_t start, std::uint64_t* set) const {
    if (const std::uint64_t* old = kept(level, start, cursor_)) {
        for (int w = 0; w < terms_.wordsPerColumn; ++w)
            set[w] |= old[w];
        return;
    }
    if (level > 0) {
        for (std::size_t part = 0; part < GroupSummary::kBranch; ++part)
            addRows(points, mapper, level - 1, start + part * pointsOf(level - 1), set);
        return;
    }
    const PointBlock run = points.block(start / PointArray::kBlockSize)
                               .subspan(start % PointArray::kBlockSize, RunSummary::kPoints);
    for (std::size_t i = 0; i < run.size(); ++i) {
        const int row = mapper.row(run.y[i]);
        if (row >= terms_.rowFrom && row <= terms_.rowTo)
            set[row >> 6] |= std::uint64_t{1} << (row & 63);
    }
}

std::size_t RowSets::allocatedBytes() const {
    return (entries_.capacity() + nextEntries_.capacity()) * sizeof(Entry) +
           (words_.capacity() + nextWords_.capacity()) * sizeof(std::uint64_t);
}

} // namespace graph
