// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <span>
#include <vector>

namespace graph {

// One bit per pixel of a picture, stored column by column: a vertical run of pixels is a few
// word operations, and a column's rows can be shifted as a whole.
class ColumnMasks {
public:
    ColumnMasks(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    int wordsPerColumn() const { return words_; }

    void clear();
    // Pixels outside the picture are left out.
    void add(int x, int y) {
        if (x < 0 || x >= width_ || y < 0 || y >= height_)
            return;
        columnBits(x)[y >> 6] |= std::uint64_t{1} << (y & 63);
    }
    void addRun(int x, int yFrom, int yTo); // yFrom <= yTo, both included
    // The rows of a column's worth of words, from the top, into column x.
    void addColumn(int x, std::span<const std::uint64_t> words) {
        std::uint64_t* column = columnBits(x);
        for (std::size_t w = 0; w < words.size(); ++w)
            column[w] |= words[w];
    }
    // Whether every pixel from yFrom to yTo (both included, inside the picture) of column x is
    // marked.
    bool allMarked(int x, int yFrom, int yTo) const;
    // The first unmarked row of column x from y on, going down (step 1) or up (step -1) and
    // not past limit; -1 where there is none.
    int nextUnmarked(int x, int y, int step, int limit) const;

    // The word holding pixel (X, Y), which must lie in the picture, and that pixel's bit in it.
    std::size_t wordIndex(int x, int y) const {
        return static_cast<std::size_t>(x) * words_ + static_cast<std::size_t>(y >> 6);
    }
    static std::uint64_t bit(int y) { return std::uint64_t{1} << (y & 63); }
    std::uint64_t& word(std::size_t index) { return bits_[index]; }
    // Every pixel of source, moved by (dx, dy).
    void addShifted(const ColumnMasks& source, int dx, int dy);
    // Every pixel of source moved by each of the offsets: a shape stamped around each pixel.
    void addStamped(const ColumnMasks& source, std::span<const QPoint> offsets);
    bool any() const;

    // Sets every marked pixel of the image to value.
    void paint(QImage& image, QRgb value) const;

private:
    std::uint64_t* columnBits(int x) { return bits_.data() + static_cast<std::size_t>(x) * words_; }
    const std::uint64_t* columnBits(int x) const {
        return bits_.data() + static_cast<std::size_t>(x) * words_;
    }

    int width_;
    int height_;
    int words_;
    std::vector<std::uint64_t> bits_;
};

} // namespace graph
