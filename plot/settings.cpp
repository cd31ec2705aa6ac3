#include "plot/settings.h"

#include "plot/engine_state.h"
#include "plot/rounding.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array<TSettingRow, kSettingRowCount> kRows = {{
    {1, 1, 0, 1, true, "antialias font"},
    {2, 20, 10, 100, true, "legend width"},
    {3, 0, 0, 1, true, "mode colour scale"},
    {4, 0, 0, 1, true, "symbol exponent"},
    {5, 0, 0, 1, true, "disable zoom autoredraw"},
    {10, 1000, 1, 100000, false, "max zoom depth"},
    {11, 2, 1, 100, false, "min log ratio"},
    {20, 5, 1, 100, false, "label dist X float"},
    {21, 8, 1, 100, false, "label dist X exp"},
    {22, 1, 0.2, 5, false, "fineness log X"},
    {23, 1, 0, 3, false, "major ticsize X"},
    {24, 0.6, 0, 1, false, "minor ticsize X"},
    {25, 0, -90, 90, true, "angle text X"},
    {26, 0, 0, 0, false, "format sci labels X"},
    {27, 0, 0, 1, true, "do not plot 0 X"},
    {40, 2, 1, 100, false, "label dist Y"},
    {41, 0, 0, 1, true, "rotate vert caption Y"},
    {42, 1, 0.2, 5, false, "fineness log Y"},
    {43, 1, 0, 3, false, "major ticsize Y"},
    {44, 0.6, 0, 1, false, "minor ticsize Y"},
    {45, 0, -90, 90, true, "angle text Y"},
    {46, 0, 0, 0, false, "format sci labels Y"},
    {47, 0, 0, 1, true, "do not plot 0 Y"},
    {60, 2, 1, 100, false, "label dist R"},
    {61, 20, 1, 1000, false, "max zoom depth R"},
    {62, 1, 0.1, 10, false, "fineness grid polar"},
    {63, 1, 0, 3, false, "major ticsize R"},
    {64, 0.6, 0, 1, false, "minor ticsize R"},
    {66, 0, 0, 0, false, "format sci labels R"},
    {100, 5, 1, 100, false, "label dist X 1"},
    {101, 2, 1, 10, false, "label dist X 2"},
    {102, 1, 0, 3, false, "ticsize X"},
    {110, 5, 1, 100, false, "label dist Y 1"},
    {111, 2, 1, 100, false, "label dist Y 2"},
    {112, 1, 0, 3, false, "ticsize Y"},
    {120, 5, 1, 100, false, "label dist Z 1"},
    {121, 2, 1, 100, false, "label dist Z 2"},
    {122, 0.6, 0, 3, false, "ticsize Z"},
    {130, 5, 1, 100, false, "label dist R 1"},
    {131, 2, 1, 100, false, "label dist R 2"},
    {132, 1, 0, 3, false, "ticsize R"},
}};

constexpr std::uint8_t kAllRowsMark = 255;

TSettingsState& State() {
    TSettingsState& s = Engine().Settings;
    if (!s.Built) {
        InitSettings();
    }
    return s;
}

// Row number 1..41 of a code, 0 for a code without a row (also outside 0..132).
int RowOf(int code) {
    const TSettingsState& s = State();
    if (code < 0 || code > kHighestSettingCode) {
        return 0;
    }
    return s.SettingIndex[static_cast<std::size_t>(code)];
}

void RestoreDefault(TSettingsState& s, int row) {
    s.SettingValues[static_cast<std::size_t>(row)] = static_cast<float>(kRows[row - 1].Default);
}

} // namespace

const TSettingRow* SettingRows() {
    return kRows.data();
}

void InitSettings() {
    TSettingsState& s = Engine().Settings;
    s.SettingValues.assign(kSettingRowCount + 1, 0.0f);
    s.SettingValues[0] = -1.0f;
    s.SettingMarks.assign(kSettingRowCount + 1, kAllRowsMark);
    s.SettingIndex.assign(kHighestSettingCode + 1, 0);
    for (int row = 1; row <= kSettingRowCount; ++row) {
        s.SettingValues[static_cast<std::size_t>(row)] = static_cast<float>(kRows[row - 1].Default);
        s.SettingIndex[static_cast<std::size_t>(kRows[row - 1].Code)] = row;
    }
    s.SettingLifetime = 0;
    s.Built = true;
}

double GetSetting(int code) {
    return State().SettingValues[static_cast<std::size_t>(RowOf(code))];
}

int GetSettingRounded(int code) {
    return RoundHalfEven(GetSetting(code));
}

double GetSettingOrMode(int code) {
    if (code == 0) {
        return State().SettingLifetime;
    }
    if (code >= 1 && code <= kHighestSettingCode) {
        return GetSetting(code);
    }
    return -1.0;
}

void SetSetting(int code, double value) {
    TSettingsState& s = State();
    if (std::isnan(value)) {
        return;
    }
    if (code == 0) {
        s.SettingLifetime = std::clamp(RoundHalfEven(value), 0, 3);
        return;
    }
    const int row = RowOf(code);
    if (code < 1 || row == 0) {
        return;
    }
    const TSettingRow& r = kRows[row - 1];
    if (r.Lower != 0 && r.Upper != 0) {
        value = std::clamp(value, r.Lower, r.Upper);
    }
    if (r.Integer) {
        value = value >= 0 ? std::trunc(value + 0.5) : -std::trunc(-value + 0.5);
    }
    s.SettingValues[static_cast<std::size_t>(row)] = static_cast<float>(value);
}

void ResetSetting(int code) {
    TSettingsState& s = State();
    if (code == 0) {
        s.SettingLifetime = 0;
        return;
    }
    const int row = RowOf(code);
    if (code < 1 || row == 0) {
        return;
    }
    RestoreDefault(s, row);
    s.SettingMarks[static_cast<std::size_t>(row)] = kAllRowsMark;
}

void ExpireSettings(int event) {
    TSettingsState& s = State();
    for (int row = 1; row <= kSettingRowCount; ++row) {
        const std::uint8_t mark = s.SettingMarks[static_cast<std::size_t>(row)];
        if ((event == s.SettingLifetime && mark == kAllRowsMark) || mark == event) {
            RestoreDefault(s, row);
        }
    }
}
