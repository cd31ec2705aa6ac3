#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

// One bit per pixel of a picture, stored column by column: a vertical run of pixels is a few
// word operations, and a column's rows can be shifted as a whole.
class TColumnMasks {
public:
    TColumnMasks(int Width, int Height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int WordsPerColumn() const { return words_; }

    void Clear();
    // Pixels outside the picture are left out.
    void Add(int X, int Y) {
        if (X < 0 || X >= width_ || Y < 0 || Y >= height_)
            return;
        Column(X)[Y >> 6] |= std::uint64_t{1} << (Y & 63);
    }
    void AddRun(int X, int YFrom, int YTo); // YFrom <= YTo, both included

    // The word holding pixel (X, Y), which must lie in the picture, and that pixel's bit in it.
    std::size_t WordIndex(int X, int Y) const {
        return static_cast<std::size_t>(X) * words_ + static_cast<std::size_t>(Y >> 6);
    }
    static std::uint64_t Bit(int Y) { return std::uint64_t{1} << (Y & 63); }
    std::uint64_t& Word(std::size_t Index) { return bits_[Index]; }
    // Every pixel of Source, moved by (Dx, Dy).
    void AddShifted(const TColumnMasks& Source, int Dx, int Dy);
    bool Any() const;

    // Sets every marked pixel of the image to Value.
    void Paint(QImage& Image, QRgb Value) const;

private:
    std::uint64_t* Column(int X) { return bits_.data() + static_cast<std::size_t>(X) * words_; }
    const std::uint64_t* Column(int X) const {
        return bits_.data() + static_cast<std::size_t>(X) * words_;
    }

    int width_;
    int height_;
    int words_;
    std::vector<std::uint64_t> bits_;
};
