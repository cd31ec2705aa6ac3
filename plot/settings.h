#pragma once

#include <string>

// The engine's table of numeric tuning settings, addressed by code. Values are held in single
// precision. Code 0 addresses the lifetime mode: when changed settings fall back to their defaults
// (0 never, 1 next picture, 2 next plot area, 3 end of the next axis operation).

struct TSettingRow {
    int Code;
    double Default;
    double Lower;
    double Upper;
    bool Integer;
    const char* Name;
};

constexpr int kHighestSettingCode = 132;
constexpr int kSettingRowCount = 41;

// The constant table, rows in code order.
const TSettingRow* SettingRows();

void InitSettings();
double GetSetting(int code);
int GetSettingRounded(int code);
double GetSettingOrMode(int code);
void SetSetting(int code, double value);
void ResetSetting(int code);
void ExpireSettings(int event);

enum TSettingEvent { seNextPicture = 1, sePlotArea = 2, seAxis = 3 };
