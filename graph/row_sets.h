// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace graph {

class PixelMapper;
class PointArray;

// The pixel rows the points of whole runs and groups of a trace reach, one bit per row of the
// picture, kept from one repaint to the next while values map to the same rows: a stretch whose
// symbols mark rows its column lacks then costs a few word operations instead of a look at its
// points. Noisy readings reach rows far apart in every column, and their rows hardly ever map anew
// at line rate (the x range grows with every reading, the y range seldom), so this is where a
// repaint of them finds most of its work done.
//
// A repaint walks its stretches in order: it asks for the rows of a stretch (a run, level 0, or a
// group, level l + 1 for GroupSummary level l) by its first point, and keeps what it used for the
// next repaint; the rest is forgotten, so what is kept follows the columns, not the points.
class RowSets {
public:
    // What decides the rows: the mapping of values to rows, the rows a set holds (those from
    // rowFrom to rowTo) and its words.
    struct Terms {
        std::array<double, 5> mapping;
        int rowFrom, rowTo, wordsPerColumn;
        bool operator==(const Terms&) const = default;
    };

    // A repaint starts: sets kept under other terms are forgotten. Sets are made only once the
    // terms held for a repaint before, so a mapping that changes with every repaint costs nothing.
    void begin(const Terms& terms);
    // The repaint is over: what it used is what the next one finds.
    void end();
    // Whether the current repaint makes the sets it finds missing.
    bool making() const { return making_; }

    // The rows of the stretch of `level` starting at point `start`, kept from the last repaint or
    // made now, and kept for the next; empty unless making(). Stretches are asked for in the order
    // of their first points, each once; the rows stay valid until the next call.
    std::span<const std::uint64_t> rows(const PointArray& points, const PixelMapper& mapper,
                                        std::size_t level, std::size_t start);

    std::size_t allocatedBytes() const;

private:
    struct Entry {
        std::size_t start;
        std::size_t level;
        std::size_t offset; // into words_
    };
    // The set kept for the stretch, looked for from entry `from` on, or nullptr.
    const std::uint64_t* kept(std::size_t level, std::size_t start, std::size_t from) const;
    // Ors the rows of the stretch into `set`, from kept sets where there are, else its points.
    void addRows(const PointArray& points, const PixelMapper& mapper, std::size_t level,
                 std::size_t start, std::uint64_t* set) const;

    Terms terms_{};
    bool held_ = false;
    bool making_ = false;
    std::vector<Entry> entries_;
    std::vector<std::uint64_t> words_;
    std::size_t cursor_ = 0;
    std::vector<Entry> nextEntries_;
    std::vector<std::uint64_t> nextWords_;
};

} // namespace graph
