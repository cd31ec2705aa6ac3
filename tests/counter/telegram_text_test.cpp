// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/telegram_text.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

bool commaLocale() {
    return QLocale::system().decimalPoint() == QStringLiteral(",");
}

TEST(ParseNumber, PointIsAlwaysADecimalPoint) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"10000000.5", 10000000.5},
        {"  10.000000", 10.0},
        {"      1.500", 1.5},
        {"-2.5e3", -2500.0},
        {"+7", 7.0},
        {"1.5E-6", 1.5e-6},
        {".5", 0.5},
        {"5.", 5.0},
        {" 42 ", 42.0},
    };
    for (const Case& c : cases) {
        const auto v = counter::parseNumber(c.text);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
    }
}

TEST(ParseNumber, RejectsWhatIsNotANumber) {
    for (const char* text : {"", "   ", "ERROR!", "1.2.3", "1e", "e5", "12 34", "1 000.5", "0x10",
                             "1e999", "nan", "inf", "--1", ".", "-"}) {
        EXPECT_FALSE(counter::parseNumber(text).has_value()) << text;
    }
}

TEST(ParseNumber, MachineSeparatorAcceptedOnlyWhereItIsTheSeparator) {
    const auto v = counter::parseNumber("10000000,5");
    if (commaLocale()) {
        ASSERT_TRUE(v.has_value());
        EXPECT_DOUBLE_EQ(*v, 10000000.5);
    } else {
        EXPECT_FALSE(v.has_value());
    }
}

TEST(ParseNumber, RunsUnderTheLocaleTheTestWasStartedFor) {
    // The comma-locale run sets TALVEK_EXPECT_DECIMAL so a missing locale cannot pass silently.
    const QByteArray expected = qgetenv("TALVEK_EXPECT_DECIMAL");
    if (!expected.isEmpty()) {
        EXPECT_EQ(QLocale::system().decimalPoint().toStdString(), expected.toStdString());
    }
}

TEST(RemoveSpaces, DropsOnlyBlanks) {
    EXPECT_EQ(counter::removeSpaces(" ms"), "ms");
    EXPECT_EQ(counter::removeSpaces(" a\tb c "), "a\tbc");
}

} // namespace
