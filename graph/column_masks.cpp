#include "graph/column_masks.h"

#include <algorithm>
#include <bit>

TColumnMasks::TColumnMasks(int Width, int Height)
    : width_(std::max(Width, 0)), height_(std::max(Height, 0)), words_((height_ + 63) / 64),
      bits_(static_cast<std::size_t>(width_) * words_, 0) {}

void TColumnMasks::Clear() {
    std::fill(bits_.begin(), bits_.end(), 0);
}

void TColumnMasks::AddRun(int X, int YFrom, int YTo) {
    if (X < 0 || X >= width_)
        return;
    YFrom = std::max(YFrom, 0);
    YTo = std::min(YTo, height_ - 1);
    if (YFrom > YTo)
        return;
    std::uint64_t* column = Column(X);
    const int firstWord = YFrom >> 6;
    const int lastWord = YTo >> 6;
    const std::uint64_t fromFirst = ~std::uint64_t{0} << (YFrom & 63);
    const std::uint64_t toLast = ~std::uint64_t{0} >> (63 - (YTo & 63));
    if (firstWord == lastWord) {
        column[firstWord] |= fromFirst & toLast;
        return;
    }
    column[firstWord] |= fromFirst;
    for (int w = firstWord + 1; w < lastWord; ++w)
        column[w] = ~std::uint64_t{0};
    column[lastWord] |= toLast;
}

void TColumnMasks::AddShifted(const TColumnMasks& Source, int Dx, int Dy) {
    const int wordShift = (Dy >= 0 ? Dy : -Dy) >> 6;
    const int bitShift = (Dy >= 0 ? Dy : -Dy) & 63;
    const std::uint64_t lastWordMask =
        (height_ & 63) == 0 ? ~std::uint64_t{0} : (std::uint64_t{1} << (height_ & 63)) - 1;
    for (int x = std::max(0, -Dx); x < Source.width_ && x + Dx < width_; ++x) {
        const std::uint64_t* from = Source.Column(x);
        std::uint64_t* to = Column(x + Dx);
        for (int w = 0; w < words_; ++w) {
            // Word w of the shifted column gathers from the source words at w - Dy / 64.
            std::uint64_t value = 0;
            if (Dy >= 0) {
                const int s = w - wordShift;
                if (s >= 0)
                    value = from[s] << bitShift;
                if (bitShift != 0 && s - 1 >= 0)
                    value |= from[s - 1] >> (64 - bitShift);
            } else {
                const int s = w + wordShift;
                if (s < words_)
                    value = from[s] >> bitShift;
                if (bitShift != 0 && s + 1 < words_)
                    value |= from[s + 1] << (64 - bitShift);
            }
            if (w == words_ - 1)
                value &= lastWordMask;
            to[w] |= value;
        }
    }
}

bool TColumnMasks::Any() const {
    return std::any_of(bits_.begin(), bits_.end(), [](std::uint64_t w) { return w != 0; });
}

void TColumnMasks::Paint(QImage& Image, QRgb Value) const {
    const int width = std::min(width_, Image.width());
    const int height = std::min(height_, Image.height());
    QRgb* bits = reinterpret_cast<QRgb*>(Image.bits());
    const std::size_t stride = Image.bytesPerLine() / sizeof(QRgb);
    for (int x = 0; x < width; ++x) {
        const std::uint64_t* column = Column(x);
        for (int w = 0; w < words_; ++w) {
            std::uint64_t word = column[w];
            while (word != 0) {
                const int y = w * 64 + std::countr_zero(word);
                word &= word - 1;
                if (y < height)
                    bits[static_cast<std::size_t>(y) * stride + x] = Value;
            }
        }
    }
}
