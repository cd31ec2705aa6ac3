// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace plot {

// Pixel writing with a pen mode, clipped to the image.
class PixelWriter {
public:
    PixelWriter(QImage& image, PenMode mode, Color color)
        : bits_(reinterpret_cast<QRgb*>(image.bits())),
          stride_(image.bytesPerLine() / static_cast<int>(sizeof(QRgb))), width_(image.width()),
          height_(image.height()), mode_(mode), value_(toQRgb(color)) {}

    int width() const { return width_; }
    int height() const { return height_; }

    void put(std::int64_t x, std::int64_t y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) {
            return;
        }
        QRgb& p = bits_[y * stride_ + x];
        switch (mode_) {
        case PenMode::Copy:
            p = value_;
            break;
        case PenMode::Xor:
            p ^= (value_ & 0x00FFFFFFu);
            break;
        case PenMode::Not:
            p ^= 0x00FFFFFFu;
            break;
        }
    }

    // Pixels left..right-1 of one row.
    void span(std::int64_t y, std::int64_t left, std::int64_t right) const {
        if (y < 0 || y >= height_) {
            return;
        }
        const std::int64_t from = left < 0 ? 0 : left;
        const std::int64_t to = right > width_ ? width_ : right;
        if (from >= to) {
            return;
        }
        // A whole row at once: rectangles and backgrounds are most of a picture's pixels.
        QRgb* const row = bits_ + y * stride_ + from;
        const std::int64_t count = to - from;
        if (mode_ == PenMode::Copy) {
            std::fill_n(row, count, value_);
            return;
        }
        const QRgb flip = mode_ == PenMode::Xor ? (value_ & 0x00FFFFFFu) : 0x00FFFFFFu;
        for (std::int64_t x = 0; x < count; ++x) {
            row[x] ^= flip;
        }
    }

private:
    QRgb* bits_;
    int stride_;
    int width_;
    int height_;
    PenMode mode_;
    QRgb value_;
};

// The pixels a wide pen covers along a path, painted once each (XOR and NOT rely on that). In
// copy mode the stamps go straight to the image; otherwise into a mask over the path's bounds.
class WidePenStroke {
public:
    // left..right x top..bottom (inclusive) bound the centre pixels of the path.
    WidePenStroke(const PixelWriter& writer, PenMode mode, int width, std::int64_t left,
                  std::int64_t top, std::int64_t right, std::int64_t bottom);
    void stamp(std::int64_t x, std::int64_t y);
    void paint() const;

private:
    void add(std::int64_t x, std::int64_t y);

    const PixelWriter& writer_;
    bool direct_;
    int width_;
    std::int64_t left_ = 0;
    std::int64_t top_ = 0;
    std::int64_t maskWidth_ = 0;
    std::int64_t maskHeight_ = 0;
    std::vector<std::uint8_t> mask_;
};

// Calls plot(x, y, step) for the pixels of a one-pixel line from (x0, y0) towards (x1, y1), the
// end pixel left out unless includeEnd, limited to the steps whose major coordinate lies within
// margin pixels of the width x height image. Every pixel is visited once, in order from the start.
template <typename Plot>
void forEachLinePixel(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, int width,
                      int height, int margin, bool includeEnd, Plot&& plot) {
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const std::int64_t steps = xMajor ? adx : ady;
    const std::int64_t last = includeEnd ? steps : steps - 1;
    if (last < 0) {
        return;
    }
    const std::int64_t majorStart = xMajor ? x0 : y0;
    const std::int64_t minorStart = xMajor ? y0 : x0;
    const std::int64_t majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t minorDelta = xMajor ? ady : adx;
    const std::int64_t limit = xMajor ? width : height;
    // Steps whose major coordinate lies on the image.
    std::int64_t first = 0;
    std::int64_t end = last;
    const std::int64_t lowest = -margin;
    const std::int64_t highest = limit - 1 + margin;
    if (majorSign > 0) {
        first = std::max<std::int64_t>(first, lowest - majorStart);
        end = std::min<std::int64_t>(end, highest - majorStart);
    } else {
        first = std::max<std::int64_t>(first, majorStart - highest);
        end = std::min<std::int64_t>(end, majorStart - lowest);
    }
    for (std::int64_t i = first; i <= end; ++i) {
        // Minor offset: i * minorDelta / steps rounded, halves toward the end point.
        const std::int64_t offset =
            steps == 0
                ? 0
                : static_cast<std::int64_t>((static_cast<__int128>(2) * i * minorDelta + steps) /
                                            (static_cast<__int128>(2) * steps));
        const std::int64_t major = majorStart + majorSign * i;
        const std::int64_t minor = minorStart + minorSign * offset;
        if (xMajor) {
            plot(major, minor, i);
        } else {
            plot(minor, major, i);
        }
    }
}

// Pen widths drawn, 1..255 pixels: anything wider would only cost time.
inline int effectivePenWidth(int width) {
    return std::clamp(width, 1, 255);
}

// Dash pattern of a one-pixel pen: true where step i of a line is painted.
bool penPatternOn(PenStyle style, std::int64_t i);

} // namespace plot
