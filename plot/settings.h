// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <vector>

namespace plot {

// The engine's table of numeric tuning settings. Values are held in single precision. Each
// setting keeps the numeric code it has always been addressed by; codes without a row read -1.

enum class Setting : int {
    // Not a row: when changed settings fall back to their defaults (0 never, 1 next picture,
    // 2 next plot area, 3 end of the next axis operation).
    LifetimeMode = 0,
    AntialiasFont = 1,
    LegendWidth = 2,
    ModeColourScale = 3,
    SymbolExponent = 4,
    DisableZoomAutoredraw = 5,
    MaxZoomDepth = 10,
    MinLogRatio = 11,
    LabelDistXFloat = 20,
    LabelDistXExp = 21,
    FinenessLogX = 22,
    MajorTicSizeX = 23,
    MinorTicSizeX = 24,
    AngleTextX = 25,
    FormatSciLabelsX = 26,
    DoNotPlotZeroX = 27,
    LabelDistY = 40,
    RotateVertCaptionY = 41,
    FinenessLogY = 42,
    MajorTicSizeY = 43,
    MinorTicSizeY = 44,
    AngleTextY = 45,
    FormatSciLabelsY = 46,
    DoNotPlotZeroY = 47,
    LabelDistR = 60,
    MaxZoomDepthR = 61,
    FinenessGridPolar = 62,
    MajorTicSizeR = 63,
    MinorTicSizeR = 64,
    FormatSciLabelsR = 66,
    LabelDistX1 = 100,
    LabelDistX2 = 101,
    TicSizeX = 102,
    LabelDistY1 = 110,
    LabelDistY2 = 111,
    TicSizeY = 112,
    LabelDistZ1 = 120,
    LabelDistZ2 = 121,
    TicSizeZ = 122,
    LabelDistR1 = 130,
    LabelDistR2 = 131,
    TicSizeR = 132,
};

// The moments at which settings of the matching lifetime fall back to their defaults.
enum class SettingEvent : int { NextPicture = 1, PlotArea = 2, Axis = 3 };

struct SettingRow {
    Setting code;
    double defaultValue;
    double lower;
    double upper;
    bool integer;
    const char* name;
};

constexpr int kHighestSettingCode = 132;
constexpr int kSettingRowCount = 41;

class SettingsTable {
public:
    // Every value at its default, the lifetime mode 0.
    SettingsTable();

    // The constant table, rows in code order.
    static std::span<const SettingRow> rows();

    double value(Setting code) const;
    int rounded(Setting code) const; // halves to even
    // LifetimeMode gives the lifetime mode; any other code its value, -1 outside 1..132.
    double valueOrMode(Setting code) const;

    // LifetimeMode takes the value rounded into 0..3. A row's value is limited to its range when
    // both limits are non-zero and rounded half away from zero when it is an integer setting.
    void set(Setting code, double value);
    void reset(Setting code);
    void expire(SettingEvent event);

private:
    int rowOf(Setting code) const;
    void restoreDefault(int row);

    std::vector<float> values_; // rows 1..41; slot 0 is what a code without a row reads
    std::vector<int> index_;    // row of each code 0..132, 0 for none
    std::vector<unsigned char> marks_;
    int lifetime_ = 0;
};

} // namespace plot
