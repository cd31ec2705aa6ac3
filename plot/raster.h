#pragma once

#include "plot/canvas.h"

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <vector>

// Pixel writing with a pen mode, clipped to the image.
class PixelWriter {
public:
    PixelWriter(QImage& image, TPenMode mode, TColor color)
        : Bits_(reinterpret_cast<QRgb*>(image.bits())),
          Stride_(image.bytesPerLine() / static_cast<int>(sizeof(QRgb))), Width_(image.width()),
          Height_(image.height()), Mode_(mode), Value_(ToQRgb(color)) {}

    int Width() const { return Width_; }
    int Height() const { return Height_; }

    void Put(std::int64_t x, std::int64_t y) const {
        if (x < 0 || y < 0 || x >= Width_ || y >= Height_) {
            return;
        }
        QRgb& p = Bits_[y * Stride_ + x];
        switch (Mode_) {
        case TPenMode::Copy:
            p = Value_;
            break;
        case TPenMode::Xor:
            p ^= (Value_ & 0x00FFFFFFu);
            break;
        case TPenMode::Not:
            p ^= 0x00FFFFFFu;
            break;
        }
    }

    // Pixels left..right-1 of one row.
    void Span(std::int64_t y, std::int64_t left, std::int64_t right) const {
        if (y < 0 || y >= Height_) {
            return;
        }
        const std::int64_t from = left < 0 ? 0 : left;
        const std::int64_t to = right > Width_ ? Width_ : right;
        for (std::int64_t x = from; x < to; ++x) {
            Put(x, y);
        }
    }

private:
    QRgb* Bits_;
    int Stride_;
    int Width_;
    int Height_;
    TPenMode Mode_;
    QRgb Value_;
};

// The pixels a wide pen covers along a path, painted once each (XOR and NOT rely on that). In
// copy mode the stamps go straight to the image; otherwise into a mask over the path's bounds.
class WidePenStroke {
public:
    // left..right x top..bottom (inclusive) bound the centre pixels of the path.
    WidePenStroke(const PixelWriter& writer, TPenMode mode, int width, std::int64_t left,
                  std::int64_t top, std::int64_t right, std::int64_t bottom);
    void Stamp(std::int64_t x, std::int64_t y);
    void Paint() const;

private:
    void Add(std::int64_t x, std::int64_t y);

    const PixelWriter& Writer_;
    bool Direct_;
    int Width_;
    std::int64_t Left_ = 0;
    std::int64_t Top_ = 0;
    std::int64_t MaskWidth_ = 0;
    std::int64_t MaskHeight_ = 0;
    std::vector<std::uint8_t> Mask_;
};

// Calls plot(x, y, step) for the pixels of a one-pixel line from (x0, y0) towards (x1, y1), the
// end pixel left out unless includeEnd, limited to the steps whose major coordinate lies within
// margin pixels of the width x height image. Every pixel is visited once, in order from the start.
template <typename Plot>
void ForEachLinePixel(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, int width,
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
inline int EffectivePenWidth(int width) {
    return std::clamp(width, 1, 255);
}

// Dash pattern of a one-pixel pen: true where step i of a line is painted.
bool PenPatternOn(TPenStyle style, std::int64_t i);
