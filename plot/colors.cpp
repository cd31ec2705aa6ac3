#include "plot/colors.h"

#include <array>

namespace {

// Default desktop palette of the system colour indices 0..30 (Windows 10 values).
constexpr std::array<TColor, 31> kSystemPalette = {
    MakeColor(200, 200, 200), // 0 scroll bar
    MakeColor(0, 0, 0),       // 1 background
    MakeColor(153, 180, 209), // 2 active caption
    MakeColor(191, 205, 219), // 3 inactive caption
    MakeColor(240, 240, 240), // 4 menu
    MakeColor(255, 255, 255), // 5 window
    MakeColor(100, 100, 100), // 6 window frame
    MakeColor(0, 0, 0),       // 7 menu text
    MakeColor(0, 0, 0),       // 8 window text
    MakeColor(0, 0, 0),       // 9 caption text
    MakeColor(180, 180, 180), // 10 active border
    MakeColor(244, 247, 252), // 11 inactive border
    MakeColor(171, 171, 171), // 12 application workspace
    MakeColor(0, 120, 215),   // 13 highlight
    MakeColor(255, 255, 255), // 14 highlight text
    MakeColor(240, 240, 240), // 15 button face
    MakeColor(160, 160, 160), // 16 button shadow
    MakeColor(109, 109, 109), // 17 grey text
    MakeColor(0, 0, 0),       // 18 button text
    MakeColor(0, 0, 0),       // 19 inactive caption text
    MakeColor(255, 255, 255), // 20 button highlight
    MakeColor(105, 105, 105), // 21 3-D dark shadow
    MakeColor(227, 227, 227), // 22 3-D light
    MakeColor(0, 0, 0),       // 23 info text
    MakeColor(255, 255, 225), // 24 info background
    MakeColor(0, 0, 0),       // 25 (unused index)
    MakeColor(0, 102, 204),   // 26 hot light
    MakeColor(185, 209, 234), // 27 gradient active caption
    MakeColor(215, 228, 242), // 28 gradient inactive caption
    MakeColor(0, 120, 215),   // 29 menu highlight
    MakeColor(240, 240, 240), // 30 menu bar
};

} // namespace

TColor ColorToRGB(TColor color) {
    if (color >= 0) {
        return color & 0x00FFFFFF;
    }
    const unsigned index = static_cast<unsigned>(color) & 0xFFu;
    return index < kSystemPalette.size() ? kSystemPalette[index] : clBlack;
}

QRgb ToQRgb(TColor color) {
    const auto rgb = static_cast<std::uint32_t>(ColorToRGB(color));
    return qRgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TColor FromQRgb(QRgb rgb) {
    return MakeColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}
