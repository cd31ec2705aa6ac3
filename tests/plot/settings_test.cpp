// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/settings.h"
#include "plot_test_support.h"

#include <gtest/gtest.h>

#include <iterator>

namespace plot {

namespace {

Setting settingOf(int code) {
    return static_cast<Setting>(code);
}

class Settings : public ::testing::Test {
protected:
    SettingsTable table;
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
    const auto rows = SettingsTable::rows();
    ASSERT_EQ(rows.size(), std::size(defaults));
    for (int i = 0; i < kSettingRowCount; ++i) {
        const Row& want = defaults[i];
        EXPECT_EQ(static_cast<int>(rows[i].code), want.code);
        EXPECT_STREQ(rows[i].name, want.name);
        EXPECT_EQ(table.value(settingOf(want.code)),
                  static_cast<double>(static_cast<float>(want.value)))
            << want.name;
    }
}

TEST_F(Settings, ReadsInSinglePrecision) {
    EXPECT_EQ(table.value(settingOf(10)), 1000.0);
    EXPECT_EQ(table.value(settingOf(24)), static_cast<double>(0.6f));
    EXPECT_NE(table.value(settingOf(24)), 0.6);
    EXPECT_EQ(table.rounded(settingOf(24)), 1);
    EXPECT_EQ(table.rounded(settingOf(22)), 1);
}

TEST_F(Settings, CodesWithoutARowReadMinusOne) {
    for (int code : {6, 9, 12, 28, 39, 65, 133, -1, 100000}) {
        table.set(settingOf(code), 1);
        EXPECT_EQ(table.value(settingOf(code)), -1.0) << code;
    }
    EXPECT_EQ(table.valueOrMode(settingOf(6)), -1.0);
    EXPECT_EQ(table.valueOrMode(settingOf(133)), -1.0);
    EXPECT_EQ(table.valueOrMode(settingOf(10)), 1000.0);
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
        table.set(settingOf(c.code), c.value);
        EXPECT_EQ(table.value(settingOf(c.code)), static_cast<double>(static_cast<float>(c.stored)))
            << c.code << " " << c.value;
    }
    table.set(settingOf(20), NAN);
    EXPECT_EQ(table.value(settingOf(20)), 5.0);
}

TEST_F(Settings, ResetBringsTheDefaultBack) {
    table.set(settingOf(20), 9);
    table.reset(settingOf(20));
    EXPECT_EQ(table.value(settingOf(20)), 5.0);
    table.set(settingOf(0), 2);
    table.reset(settingOf(0));
    EXPECT_EQ(table.valueOrMode(settingOf(0)), 0.0);
}

TEST_F(Settings, LifetimeMode) {
    table.set(settingOf(0), 7);
    EXPECT_EQ(table.valueOrMode(settingOf(0)), 3.0);
    table.set(settingOf(0), -2);
    EXPECT_EQ(table.valueOrMode(settingOf(0)), 0.0);
    table.set(settingOf(0), 2.5);
    EXPECT_EQ(table.valueOrMode(settingOf(0)), 2.0);
}

TEST_F(Settings, ChangedValuesLastUntilTheEventOfTheirLifetime) {
    table.set(Setting::LifetimeMode, 2);
    table.set(Setting::LabelDistXFloat, 9);
    table.expire(SettingEvent::NextPicture);
    table.expire(SettingEvent::Axis);
    EXPECT_EQ(table.value(Setting::LabelDistXFloat), 9.0);
    table.expire(SettingEvent::PlotArea);
    EXPECT_EQ(table.value(Setting::LabelDistXFloat), 5.0);

    table.set(Setting::LifetimeMode, 0);
    table.set(Setting::LabelDistY, 7);
    for (SettingEvent event :
         {SettingEvent::NextPicture, SettingEvent::PlotArea, SettingEvent::Axis})
        table.expire(event);
    EXPECT_EQ(table.value(Setting::LabelDistY), 7.0);
}

// The engine raises the events: a picture, a plot area.
class SettingsInPictures : public ::testing::Test {
protected:
    ImageEngine picture{200, 100};
    plot::PlotEngine& engine = picture.engine;
    SettingsTable& table = engine.settings();
};

TEST_F(SettingsInPictures, LifetimeTwoEndsAtTheNextPlotArea) {
    engine.startGraph(kWhite, kBlack, 1);
    table.set(Setting::LifetimeMode, 2);
    table.set(Setting::LabelDistXFloat, 9);
    engine.startGraph(kWhite, kBlack, 1);
    EXPECT_EQ(table.value(Setting::LabelDistXFloat), 9.0);
    engine.setPlotArea({0, 100, 0, 100});
    EXPECT_EQ(table.value(Setting::LabelDistXFloat), 5.0);
}

TEST_F(SettingsInPictures, LifetimeOneEndsAtTheNextPicture) {
    table.set(Setting::LifetimeMode, 1);
    table.set(Setting::LabelDistY, 7);
    engine.setPlotArea({0, 100, 0, 100});
    EXPECT_EQ(table.value(Setting::LabelDistY), 7.0);
    engine.startGraph(kWhite, kBlack, 1);
    EXPECT_EQ(table.value(Setting::LabelDistY), 2.0);
}

TEST_F(SettingsInPictures, SurviveANewPictureAndBelongToTheirEngine) {
    table.set(Setting::MinLogRatio, 5);
    engine.startGraph(kWhite, kBlack, 1);
    EXPECT_EQ(table.value(Setting::MinLogRatio), 5.0);
    ImageEngine fresh(200, 100);
    EXPECT_EQ(fresh.engine.settings().value(Setting::MinLogRatio), 2.0);
}

} // namespace

} // namespace plot
