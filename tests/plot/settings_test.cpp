#include "plot/engine.h"
#include "plot/settings.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override { InitEngine(); }
    TImageHost host{200, 100};
};

TEST_F(Settings, TableHasEveryRowWithItsDefault) {
    struct Row {
        int code;
        double value;
        const char* name;
    };
    const Row defaults[] = {
        {1, 1, "antialias font"},
        {2, 20, "legend width"},
        {3, 0, "mode colour scale"},
        {4, 0, "symbol exponent"},
        {5, 0, "disable zoom autoredraw"},
        {10, 1000, "max zoom depth"},
        {11, 2, "min log ratio"},
        {20, 5, "label dist X float"},
        {21, 8, "label dist X exp"},
        {22, 1, "fineness log X"},
        {23, 1, "major ticsize X"},
        {24, 0.6, "minor ticsize X"},
        {25, 0, "angle text X"},
        {26, 0, "format sci labels X"},
        {27, 0, "do not plot 0 X"},
        {40, 2, "label dist Y"},
        {41, 0, "rotate vert caption Y"},
        {42, 1, "fineness log Y"},
        {43, 1, "major ticsize Y"},
        {44, 0.6, "minor ticsize Y"},
        {45, 0, "angle text Y"},
        {46, 0, "format sci labels Y"},
        {47, 0, "do not plot 0 Y"},
        {60, 2, "label dist R"},
        {61, 20, "max zoom depth R"},
        {62, 1, "fineness grid polar"},
        {63, 1, "major ticsize R"},
        {64, 0.6, "minor ticsize R"},
        {66, 0, "format sci labels R"},
        {100, 5, "label dist X 1"},
        {101, 2, "label dist X 2"},
        {102, 1, "ticsize X"},
        {110, 5, "label dist Y 1"},
        {111, 2, "label dist Y 2"},
        {112, 1, "ticsize Y"},
        {120, 5, "label dist Z 1"},
        {121, 2, "label dist Z 2"},
        {122, 0.6, "ticsize Z"},
        {130, 5, "label dist R 1"},
        {131, 2, "label dist R 2"},
        {132, 1, "ticsize R"},
    };
    ASSERT_EQ(std::size(defaults), static_cast<std::size_t>(kSettingRowCount));
    const TSettingRow* rows = SettingRows();
    for (int i = 0; i < kSettingRowCount; ++i) {
        const Row& want = defaults[i];
        EXPECT_EQ(rows[i].Code, want.code);
        EXPECT_STREQ(rows[i].Name, want.name);
        EXPECT_EQ(GetSetting(want.code), static_cast<double>(static_cast<float>(want.value)))
            << want.name;
    }
}

TEST_F(Settings, ReadsInSinglePrecision) {
    EXPECT_EQ(GetSetting(10), 1000.0);
    EXPECT_EQ(GetSetting(24), static_cast<double>(0.6f));
    EXPECT_NE(GetSetting(24), 0.6);
    EXPECT_EQ(GetSettingRounded(24), 1);
    EXPECT_EQ(GetSettingRounded(22), 1);
}

TEST_F(Settings, CodesWithoutARowReadMinusOne) {
    for (int code : {6, 9, 12, 28, 39, 65, 133, -1, 100000}) {
        SetSetting(code, 1);
        EXPECT_EQ(GetSetting(code), -1.0) << code;
    }
    EXPECT_EQ(GetSettingOrMode(6), -1.0);
    EXPECT_EQ(GetSettingOrMode(133), -1.0);
    EXPECT_EQ(GetSettingOrMode(10), 1000.0);
}

TEST_F(Settings, LimitsAndRounding) {
    struct Case {
        int code;
        double value;
        double stored;
    };
    for (const Case& c :
         {Case{25, 100, 90}, Case{25, -12.5, -13}, Case{25, 12.5, 13}, Case{25, -95, -90},
          Case{23, 7, 7}, Case{10, 0.5, 1}, Case{10, 1e9, 100000}, Case{26, 3.2, 3.2f},
          Case{1, 5, 5}, Case{1, 0.4, 0}, Case{22, 0.1, 0.2f}}) {
        SetSetting(c.code, c.value);
        EXPECT_EQ(GetSetting(c.code), static_cast<double>(static_cast<float>(c.stored)))
            << c.code << " " << c.value;
    }
    SetSetting(20, NAN);
    EXPECT_EQ(GetSetting(20), 5.0);
}

TEST_F(Settings, ResetBringsTheDefaultBack) {
    SetSetting(20, 9);
    ResetSetting(20);
    EXPECT_EQ(GetSetting(20), 5.0);
    SetSetting(0, 2);
    ResetSetting(0);
    EXPECT_EQ(GetSettingOrMode(0), 0.0);
}

TEST_F(Settings, LifetimeMode) {
    SetSetting(0, 7);
    EXPECT_EQ(GetSettingOrMode(0), 3.0);
    SetSetting(0, -2);
    EXPECT_EQ(GetSettingOrMode(0), 0.0);
    SetSetting(0, 2.5);
    EXPECT_EQ(GetSettingOrMode(0), 2.0);
}

TEST_F(Settings, LifetimeTwoEndsAtTheNextPlotArea) {
    StartGraph(host, clWhite, clBlack, 1);
    SetSetting(0, 2);
    SetSetting(20, 9);
    StartGraph(host, clWhite, clBlack, 1);
    EXPECT_EQ(GetSetting(20), 9.0);
    SetPlotArea(0, 100, 0, 100, 0, 0, 0, 0, false);
    EXPECT_EQ(GetSetting(20), 5.0);
}

TEST_F(Settings, LifetimeOneEndsAtTheNextPictureAndZeroNever) {
    SetSetting(0, 1);
    SetSetting(40, 7);
    SetPlotArea(0, 100, 0, 100, 0, 0, 0, 0, false);
    ExpireSettings(seAxis);
    EXPECT_EQ(GetSetting(40), 7.0);
    StartGraph(host, clWhite, clBlack, 1);
    EXPECT_EQ(GetSetting(40), 2.0);

    SetSetting(0, 0);
    SetSetting(40, 7);
    StartGraph(host, clWhite, clBlack, 1);
    SetPlotArea(0, 100, 0, 100, 0, 0, 0, 0, false);
    ExpireSettings(seAxis);
    EXPECT_EQ(GetSetting(40), 7.0);
}

TEST_F(Settings, SurviveANewPictureButNotInitEngine) {
    SetSetting(11, 5);
    StartGraph(host, clWhite, clBlack, 1);
    EXPECT_EQ(GetSetting(11), 5.0);
    InitEngine();
    EXPECT_EQ(GetSetting(11), 2.0);
}

} // namespace
