// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/colors.h"

#include <array>

namespace plot {

namespace {

// Default desktop palette of the system colour indices 0..30 (Windows 10 values).
constexpr std::array<Color, 31> kSystemPalette = {
    makeColor(200, 200, 200), // 0 scroll bar
    makeColor(0, 0, 0),       // 1 background
    makeColor(153, 180, 209), // 2 active caption
    makeColor(191, 205, 219), // 3 inactive caption
    makeColor(240, 240, 240), // 4 menu
    makeColor(255, 255, 255), // 5 window
    makeColor(100, 100, 100), // 6 window frame
    makeColor(0, 0, 0),       // 7 menu text
    makeColor(0, 0, 0),       // 8 window text
    makeColor(0, 0, 0),       // 9 caption text
    makeColor(180, 180, 180), // 10 active border
    makeColor(244, 247, 252), // 11 inactive border
    makeColor(171, 171, 171), // 12 application workspace
    makeColor(0, 120, 215),   // 13 highlight
    makeColor(255, 255, 255), // 14 highlight text
    makeColor(240, 240, 240), // 15 button face
    makeColor(160, 160, 160), // 16 button shadow
    makeColor(109, 109, 109), // 17 grey text
    makeColor(0, 0, 0),       // 18 button text
    makeColor(0, 0, 0),       // 19 inactive caption text
    makeColor(255, 255, 255), // 20 button highlight
    makeColor(105, 105, 105), // 21 3-D dark shadow
    makeColor(227, 227, 227), // 22 3-D light
    makeColor(0, 0, 0),       // 23 info text
    makeColor(255, 255, 225), // 24 info background
    makeColor(0, 0, 0),       // 25 (unused index)
    makeColor(0, 102, 204),   // 26 hot light
    makeColor(185, 209, 234), // 27 gradient active caption
    makeColor(215, 228, 242), // 28 gradient inactive caption
    makeColor(0, 120, 215),   // 29 menu highlight
    makeColor(240, 240, 240), // 30 menu bar
};

} // namespace

Color colorToRgb(Color color) {
    if (color >= 0) {
        return color & 0x00FFFFFF;
    }
    const unsigned index = static_cast<unsigned>(color) & 0xFFu;
    return index < kSystemPalette.size() ? kSystemPalette[index] : kBlack;
}

QRgb toQRgb(Color color) {
    const auto rgb = static_cast<std::uint32_t>(colorToRgb(color));
    return qRgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

Color fromQRgb(QRgb rgb) {
    return makeColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

} // namespace plot
