// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/settings.h"

#include "plot/rounding.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace plot {

namespace {

using enum Setting;

constexpr std::array<SettingRow, kSettingRowCount> kRows = {{
    {AntialiasFont, 1, 0, 1, true, "antialias font"},
    {LegendWidth, 20, 10, 100, true, "legend width"},
    {ModeColourScale, 0, 0, 1, true, "mode colour scale"},
    {SymbolExponent, 0, 0, 1, true, "symbol exponent"},
    {DisableZoomAutoredraw, 0, 0, 1, true, "disable zoom autoredraw"},
    {MaxZoomDepth, 1000, 1, 100000, false, "max zoom depth"},
    {MinLogRatio, 2, 1, 100, false, "min log ratio"},
    {LabelDistXFloat, 5, 1, 100, false, "label dist X float"},
    {LabelDistXExp, 8, 1, 100, false, "label dist X exp"},
    {FinenessLogX, 1, 0.2, 5, false, "fineness log X"},
    {MajorTicSizeX, 1, 0, 3, false, "major ticsize X"},
    {MinorTicSizeX, 0.6, 0, 1, false, "minor ticsize X"},
    {AngleTextX, 0, -90, 90, true, "angle text X"},
    {FormatSciLabelsX, 0, 0, 0, false, "format sci labels X"},
    {DoNotPlotZeroX, 0, 0, 1, true, "do not plot 0 X"},
    {LabelDistY, 2, 1, 100, false, "label dist Y"},
    {RotateVertCaptionY, 0, 0, 1, true, "rotate vert caption Y"},
    {FinenessLogY, 1, 0.2, 5, false, "fineness log Y"},
    {MajorTicSizeY, 1, 0, 3, false, "major ticsize Y"},
    {MinorTicSizeY, 0.6, 0, 1, false, "minor ticsize Y"},
    {AngleTextY, 0, -90, 90, true, "angle text Y"},
    {FormatSciLabelsY, 0, 0, 0, false, "format sci labels Y"},
    {DoNotPlotZeroY, 0, 0, 1, true, "do not plot 0 Y"},
    {LabelDistR, 2, 1, 100, false, "label dist R"},
    {MaxZoomDepthR, 20, 1, 1000, false, "max zoom depth R"},
    {FinenessGridPolar, 1, 0.1, 10, false, "fineness grid polar"},
    {MajorTicSizeR, 1, 0, 3, false, "major ticsize R"},
    {MinorTicSizeR, 0.6, 0, 1, false, "minor ticsize R"},
    {FormatSciLabelsR, 0, 0, 0, false, "format sci labels R"},
    {LabelDistX1, 5, 1, 100, false, "label dist X 1"},
    {LabelDistX2, 2, 1, 10, false, "label dist X 2"},
    {TicSizeX, 1, 0, 3, false, "ticsize X"},
    {LabelDistY1, 5, 1, 100, false, "label dist Y 1"},
    {LabelDistY2, 2, 1, 100, false, "label dist Y 2"},
    {TicSizeY, 1, 0, 3, false, "ticsize Y"},
    {LabelDistZ1, 5, 1, 100, false, "label dist Z 1"},
    {LabelDistZ2, 2, 1, 100, false, "label dist Z 2"},
    {TicSizeZ, 0.6, 0, 3, false, "ticsize Z"},
    {LabelDistR1, 5, 1, 100, false, "label dist R 1"},
    {LabelDistR2, 2, 1, 100, false, "label dist R 2"},
    {TicSizeR, 1, 0, 3, false, "ticsize R"},
}};

// Every row carries this mark; a row whose mark equals an event would fall back at that event.
constexpr unsigned char kAllRowsMark = 255;

int codeOf(Setting code) {
    return static_cast<int>(code);
}

} // namespace

SettingsTable::SettingsTable()
    : values_(kSettingRowCount + 1, 0.0f), index_(kHighestSettingCode + 1, 0),
      marks_(kSettingRowCount + 1, kAllRowsMark) {
    values_[0] = -1.0f;
    for (int row = 1; row <= kSettingRowCount; ++row) {
        restoreDefault(row);
        index_[static_cast<std::size_t>(codeOf(kRows[row - 1].code))] = row;
    }
}

std::span<const SettingRow> SettingsTable::rows() {
    return kRows;
}

int SettingsTable::rowOf(Setting code) const {
    const int n = codeOf(code);
    if (n < 0 || n > kHighestSettingCode) {
        return 0;
    }
    return index_[static_cast<std::size_t>(n)];
}

void SettingsTable::restoreDefault(int row) {
    values_[static_cast<std::size_t>(row)] = static_cast<float>(kRows[row - 1].defaultValue);
}

double SettingsTable::value(Setting code) const {
    return values_[static_cast<std::size_t>(rowOf(code))];
}

int SettingsTable::rounded(Setting code) const {
    return roundHalfEven(value(code));
}

double SettingsTable::valueOrMode(Setting code) const {
    const int n = codeOf(code);
    if (n == 0) {
        return lifetime_;
    }
    if (n >= 1 && n <= kHighestSettingCode) {
        return value(code);
    }
    return -1.0;
}

void SettingsTable::set(Setting code, double value) {
    if (std::isnan(value)) {
        return;
    }
    if (code == LifetimeMode) {
        lifetime_ = std::clamp(roundHalfEven(value), 0, 3);
        return;
    }
    const int row = rowOf(code);
    if (row == 0) {
        return;
    }
    const SettingRow& r = kRows[row - 1];
    if (r.lower != 0 && r.upper != 0) {
        value = std::clamp(value, r.lower, r.upper);
    }
    if (r.integer) {
        value = value >= 0 ? std::trunc(value + 0.5) : -std::trunc(-value + 0.5);
    }
    values_[static_cast<std::size_t>(row)] = static_cast<float>(value);
}

void SettingsTable::reset(Setting code) {
    if (code == LifetimeMode) {
        lifetime_ = 0;
        return;
    }
    const int row = rowOf(code);
    if (row == 0) {
        return;
    }
    restoreDefault(row);
    marks_[static_cast<std::size_t>(row)] = kAllRowsMark;
}

void SettingsTable::expire(SettingEvent event) {
    const int e = static_cast<int>(event);
    for (int row = 1; row <= kSettingRowCount; ++row) {
        const unsigned char mark = marks_[static_cast<std::size_t>(row)];
        if ((e == lifetime_ && mark == kAllRowsMark) || mark == e) {
            restoreDefault(row);
        }
    }
}

} // namespace plot
