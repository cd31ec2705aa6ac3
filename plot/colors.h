#pragma once

#include <QRgb>
#include <cstdint>

// A desktop colour value: red in the lowest byte, then green, then blue. Values with the high byte
// 0xFF name a system colour by its index in the low byte; other negative values mean "no colour"
// to the callers that accept one.
using TColor = std::int32_t;

constexpr TColor MakeColor(unsigned red, unsigned green, unsigned blue) {
    return static_cast<TColor>((red & 0xFFu) | (green & 0xFFu) << 8 | (blue & 0xFFu) << 16);
}

constexpr TColor clBlack = 0x00000000;
constexpr TColor clMaroon = 0x00000080;
constexpr TColor clGreen = 0x00008000;
constexpr TColor clOlive = 0x00008080;
constexpr TColor clNavy = 0x00800000;
constexpr TColor clPurple = 0x00800080;
constexpr TColor clTeal = 0x00808000;
constexpr TColor clGray = 0x00808080;
constexpr TColor clSilver = 0x00C0C0C0;
constexpr TColor clRed = 0x000000FF;
constexpr TColor clLime = 0x0000FF00;
constexpr TColor clYellow = 0x0000FFFF;
constexpr TColor clBlue = 0x00FF0000;
constexpr TColor clFuchsia = 0x00FF00FF;
constexpr TColor clAqua = 0x00FFFF00;
constexpr TColor clWhite = 0x00FFFFFF;

constexpr TColor SystemColor(unsigned index) {
    return static_cast<TColor>(0xFF000000u | (index & 0xFFu));
}
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);

// The plain red/green/blue value of a colour; system colours resolve to the classic desktop
// palette, so every machine draws the same pixels.
TColor ColorToRGB(TColor color);

// The colour as an opaque QRgb for QImage pixels, and back.
QRgb ToQRgb(TColor color);
TColor FromQRgb(QRgb rgb);
