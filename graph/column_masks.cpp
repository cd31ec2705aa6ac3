// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/column_masks.h"

#include <algorithm>
#include <array>
#include <bit>

namespace graph {

ColumnMasks::ColumnMasks(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), words_((height_ + 63) / 64),
      bits_(static_cast<std::size_t>(width_) * words_, 0) {}

void ColumnMasks::clear() {
    std::fill(bits_.begin(), bits_.end(), 0);
}

void ColumnMasks::addRun(int x, int yFrom, int yTo) {
    if (x < 0 || x >= width_)
        return;
    yFrom = std::max(yFrom, 0);
    yTo = std::min(yTo, height_ - 1);
    if (yFrom > yTo)
        return;
    std::uint64_t* column = columnBits(x);
    const int firstWord = yFrom >> 6;
    const int lastWord = yTo >> 6;
    const std::uint64_t fromFirst = ~std::uint64_t{0} << (yFrom & 63);
    const std::uint64_t toLast = ~std::uint64_t{0} >> (63 - (yTo & 63));
    if (firstWord == lastWord) {
        column[firstWord] |= fromFirst & toLast;
        return;
    }
    column[firstWord] |= fromFirst;
    for (int w = firstWord + 1; w < lastWord; ++w)
        column[w] = ~std::uint64_t{0};
    column[lastWord] |= toLast;
}

bool ColumnMasks::allMarked(int x, int yFrom, int yTo) const {
    const std::uint64_t* column = columnBits(x);
    const int firstWord = yFrom >> 6;
    const int lastWord = yTo >> 6;
    const std::uint64_t fromFirst = ~std::uint64_t{0} << (yFrom & 63);
    const std::uint64_t toLast = ~std::uint64_t{0} >> (63 - (yTo & 63));
    if (firstWord == lastWord)
        return (~column[firstWord] & fromFirst & toLast) == 0;
    if ((~column[firstWord] & fromFirst) != 0 || (~column[lastWord] & toLast) != 0)
        return false;
    for (int w = firstWord + 1; w < lastWord; ++w)
        if (column[w] != ~std::uint64_t{0})
            return false;
    return true;
}

int ColumnMasks::nextUnmarked(int x, int y, int step, int limit) const {
    const std::uint64_t* column = columnBits(x);
    if (step > 0) {
        for (int from = y; from <= limit; from = (from | 63) + 1) {
            const std::uint64_t clear = ~column[from >> 6] & (~std::uint64_t{0} << (from & 63));
            if (clear != 0) {
                const int found = (from & ~63) + std::countr_zero(clear);
                return found <= limit ? found : -1;
            }
        }
        return -1;
    }
    for (int from = y; from >= limit; from = (from & ~63) - 1) {
        const std::uint64_t clear = ~column[from >> 6] & (~std::uint64_t{0} >> (63 - (from & 63)));
        if (clear != 0) {
            const int found = (from & ~63) + 63 - std::countl_zero(clear);
            return found >= limit ? found : -1;
        }
    }
    return -1;
}

namespace {

// Bit r of word c becomes bit c of word r: 64 columns of 64 rows into 64 rows of 64 columns, by
// swapping ever smaller blocks.
void transposeBits(std::array<std::uint64_t, 64>& words) {
    std::uint64_t mask = 0x00000000FFFFFFFF;
    for (int j = 32; j != 0; j >>= 1, mask ^= mask << j) {
        for (int k = 0; k < 64; k = ((k | j) + 1) & ~j) {
            const std::uint64_t swapped = ((words[k] >> j) ^ words[k | j]) & mask;
            words[k] ^= swapped << j;
            words[k | j] ^= swapped;
        }
    }
}

} // namespace

void ColumnMasks::addShifted(const ColumnMasks& source, int dx, int dy) {
    const QPoint offset(dx, dy);
    addStamped(source, std::span(&offset, 1));
}

void ColumnMasks::addStamped(const ColumnMasks& source, std::span<const QPoint> offsets) {
    if (offsets.empty())
        return;
    // Each source column is moved by every distinct dy once, into words padded with empty ones
    // on both sides, and the moved columns are ored into their target columns: a column costs
    // the words its marks can reach, whatever the number of marks.
    std::vector<int> dys;
    for (const QPoint& offset : offsets)
        dys.push_back(offset.y());
    std::sort(dys.begin(), dys.end());
    dys.erase(std::unique(dys.begin(), dys.end()), dys.end());
    std::vector<std::size_t> moveOf;
    for (const QPoint& offset : offsets)
        moveOf.push_back(std::lower_bound(dys.begin(), dys.end(), offset.y()) - dys.begin());
    const int reach = std::max(-dys.front(), dys.back());
    const int pad = reach / 64 + 1;
    const int sourceWords = std::min(source.words_, words_);
    const std::size_t paddedWords = static_cast<std::size_t>(words_ + 2 * pad);
    std::vector<std::uint64_t> padded(paddedWords, 0);
    std::vector<std::uint64_t> moved(dys.size() * paddedWords, 0);
    const std::uint64_t lastWordMask =
        (height_ & 63) == 0 ? ~std::uint64_t{0} : (std::uint64_t{1} << (height_ & 63)) - 1;
    for (int x = 0; x < source.width_; ++x) {
        const std::uint64_t* from = source.columnBits(x);
        int first = 0;
        while (first < sourceWords && from[first] == 0)
            ++first;
        if (first == sourceWords)
            continue;
        int last = sourceWords - 1;
        while (from[last] == 0)
            --last;
        std::copy(from + first, from + last + 1, padded.begin() + pad + first);
        // The target words the moved marks can reach.
        const int rowFrom = first * 64 + std::countr_zero(from[first]) + std::min(dys.front(), 0);
        const int rowTo = last * 64 + 63 - std::countl_zero(from[last]) + std::max(dys.back(), 0);
        const int wordFrom = std::max(rowFrom, 0) >> 6;
        const int wordTo = std::min(rowTo >> 6, words_ - 1);
        for (std::size_t d = 0; d < dys.size(); ++d) {
            const int dy = dys[d];
            const int wordShift = (dy >= 0 ? dy : -dy) >> 6;
            const int bitShift = (dy >= 0 ? dy : -dy) & 63;
            std::uint64_t* to = moved.data() + d * paddedWords;
            for (int w = wordFrom; w <= wordTo; ++w) {
                const std::uint64_t* at = padded.data() + pad + w;
                if (dy >= 0)
                    to[w] = (at[-wordShift] << bitShift) |
                            (bitShift != 0 ? at[-wordShift - 1] >> (64 - bitShift) : 0);
                else
                    to[w] = (at[wordShift] >> bitShift) |
                            (bitShift != 0 ? at[wordShift + 1] << (64 - bitShift) : 0);
            }
        }
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            const int target = x + offsets[i].x();
            if (target < 0 || target >= width_)
                continue;
            std::uint64_t* column = columnBits(target);
            const std::uint64_t* move = moved.data() + moveOf[i] * paddedWords;
            for (int w = wordFrom; w <= wordTo; ++w)
                column[w] |= w == words_ - 1 ? move[w] & lastWordMask : move[w];
        }
        std::fill(padded.begin() + pad + first, padded.begin() + pad + last + 1, 0);
    }
}

bool ColumnMasks::any() const {
    return std::any_of(bits_.begin(), bits_.end(), [](std::uint64_t w) { return w != 0; });
}

void ColumnMasks::paint(QImage& image, QRgb value) const {
    const int width = std::min(width_, image.width());
    const int height = std::min(height_, image.height());
    QRgb* bits = reinterpret_cast<QRgb*>(image.bits());
    const std::size_t stride = image.bytesPerLine() / sizeof(QRgb);
    // The words of 64 columns at a time are turned into words of rows, so that pixels are set a
    // row after the other, along the image's memory, a stretch of marked neighbours at a time.
    std::array<std::uint64_t, 64> block;
    for (int x0 = 0; x0 < width; x0 += 64) {
        const int columns = std::min(64, width - x0);
        for (int w = 0; w < words_; ++w) {
            std::uint64_t any = 0;
            for (int c = 0; c < 64; ++c) {
                block[c] = c < columns ? columnBits(x0 + c)[w] : 0;
                any |= block[c];
            }
            if (any == 0)
                continue;
            transposeBits(block);
            for (int r = 0; r < 64 && w * 64 + r < height; ++r) {
                QRgb* line = bits + static_cast<std::size_t>(w * 64 + r) * stride + x0;
                for (std::uint64_t row = block[r]; row != 0;) {
                    const int first = std::countr_zero(row);
                    const int count = std::countr_one(row >> first);
                    std::fill_n(line + first, count, value);
                    row = first + count == 64 ? 0 : row & (~std::uint64_t{0} << (first + count));
                }
            }
        }
    }
}

} // namespace graph
