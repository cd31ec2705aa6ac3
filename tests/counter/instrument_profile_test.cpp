// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/instruments.h"
#include "counter/tic_profile.h"

#include <gtest/gtest.h>

namespace {

TEST(TicProfile, LinesBecomePhaseReadingsInSeconds) {
    const counter::TicProfile tic;
    const struct {
        const char* line;
        double seconds;
        const char* valueText;
    } cases[] = {
        {"17.000000123456 chA", 123.456e-9, "17.000000123456"},
        {"18.999999876544 chA", -123.456e-9, "18.999999876544"},
        {"0.000000000001 chA", 1e-12, "0.000000000001"},
        // A month of stamps: the picoseconds survive that a double of the stamp would lose.
        {"2678400.000000000007 chA", 7e-12, "2678400.000000000007"},
        {"2678400.999999999993 chA", -7e-12, "2678400.999999999993"},
        {"0.000000123456", 123.456e-9, "0.000000123456"},
        {"-0.000000002500 TI(A->B)", -2.5e-9, "-0.000000002500"},
        {"5", 5, "5"},
    };
    for (const auto& c : cases) {
        const auto reading = tic.reading(c.line);
        ASSERT_TRUE(reading) << c.line;
        EXPECT_NEAR(reading->value, c.seconds, 1e-21) << c.line;
        EXPECT_EQ(reading->quantity, counter::Quantity::Phase) << c.line;
        EXPECT_EQ(reading->valueText, c.valueText) << c.line;
        EXPECT_EQ(reading->unitText, "s") << c.line;
        EXPECT_EQ(reading->telegram, c.line);
        EXPECT_TRUE(tic.isIdentification(c.line)) << "a reading line tells the TICC is there";
    }
    for (const char* status : {"", "# TICC v20170309.1", "17.000000123456 chB", "12.5 chA chA",
                               "1e-9", "0x10", "1.2.3", "- chA", "nan", "inf", " 17.5 chA"}) {
        EXPECT_FALSE(tic.reading(status)) << status;
        EXPECT_FALSE(tic.isIdentification(status)) << status;
    }
}

TEST(Instruments, AreFoundByTheirNamesAndSayHowTheLineRuns) {
    ASSERT_EQ(counter::instruments().size(), 2u);
    EXPECT_EQ(&counter::defaultInstrument(), counter::instruments().front());
    const struct {
        const char* name;
        int baud;
        bool identifies; // asks the instrument who it is
        bool takesCommands;
    } cases[] = {{"kelvo", 9600, true, true}, {"tic", 115200, false, false}};
    for (const auto& c : cases) {
        const counter::Instrument* instrument = counter::findInstrument(c.name);
        ASSERT_TRUE(instrument) << c.name;
        EXPECT_EQ(instrument->name(), c.name);
        EXPECT_EQ(instrument->line().baud, c.baud) << c.name;
        EXPECT_EQ(instrument->line().dataBits, 8) << c.name;
        EXPECT_EQ(!instrument->identifyCommand().empty(), c.identifies) << c.name;
        EXPECT_EQ(!instrument->commands().empty(), c.takesCommands) << c.name;
    }
    EXPECT_FALSE(counter::findInstrument("KELVO")) << "names are exact";
    EXPECT_FALSE(counter::findInstrument(""));
}

} // namespace
