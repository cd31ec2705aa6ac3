// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRgb>
#include <cstdint>

namespace plot {

// A desktop colour value: red in the lowest byte, then green, then blue. Values with the high byte
// 0xFF name a system colour by its index in the low byte; other negative values mean "no colour"
// to the callers that accept one.
using Color = std::int32_t;

constexpr Color makeColor(unsigned red, unsigned green, unsigned blue) {
    return static_cast<Color>((red & 0xFFu) | (green & 0xFFu) << 8 | (blue & 0xFFu) << 16);
}

constexpr Color kBlack = 0x00000000;
constexpr Color kMaroon = 0x00000080;
constexpr Color kGreen = 0x00008000;
constexpr Color kOlive = 0x00008080;
constexpr Color kNavy = 0x00800000;
constexpr Color kPurple = 0x00800080;
constexpr Color kTeal = 0x00808000;
constexpr Color kGray = 0x00808080;
constexpr Color kSilver = 0x00C0C0C0;
constexpr Color kRed = 0x000000FF;
constexpr Color kLime = 0x0000FF00;
constexpr Color kYellow = 0x0000FFFF;
constexpr Color kBlue = 0x00FF0000;
constexpr Color kFuchsia = 0x00FF00FF;
constexpr Color kAqua = 0x00FFFF00;
constexpr Color kWhite = 0x00FFFFFF;

constexpr Color systemColor(unsigned index) {
    return static_cast<Color>(0xFF000000u | (index & 0xFFu));
}
constexpr Color kWindow = systemColor(5);
constexpr Color kWindowText = systemColor(8);
constexpr Color kButtonFace = systemColor(15);
constexpr Color kButtonText = systemColor(18);
constexpr Color kHighlight = systemColor(13);
constexpr Color kHighlightText = systemColor(14);

// The plain red/green/blue value of a colour; system colours resolve to the classic desktop
// palette, so every machine draws the same pixels.
Color colorToRgb(Color color);

// The colour as an opaque QRgb for QImage pixels, and back.
QRgb toQRgb(Color color);
Color fromQRgb(QRgb rgb);

} // namespace plot
