#include "plot/engine.h"
#include "plot/settings.h"

#include <gtest/gtest.h>

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override { InitEngine(); }
    TImageHost host{200, 100};
};

TEST_F(Settings, TableHasEveryRowWithItsDefault) {
    const TSettingRow* rows = SettingRows();
    int previous = 0;
    for (int i = 0; i < kSettingRowCount; ++i) {
        EXPECT_GT(rows[i].Code, previous);
        previous = rows[i].Code;
        EXPECT_FLOAT_EQ(static_cast<float>(GetSetting(rows[i].Code)),
                        static_cast<float>(rows[i].Default))
            << rows[i].Name;
    }
    EXPECT_EQ(previous, kHighestSettingCode);
    EXPECT_STREQ(rows[0].Name, "antialias font");
    EXPECT_STREQ(rows[kSettingRowCount - 1].Name, "ticsize R");
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
