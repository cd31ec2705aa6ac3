// SPDX-License-Identifier: GPL-3.0-or-later
// The text forms of deviation points that the command line prints and the window copies.
#include "analysis/deviation_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>
#include <vector>

namespace {

using analysis::Deviation;
using analysis::DeviationPoint;

const std::vector<DeviationPoint> kPoints{
    {0.1, Deviation::Allan, 4095, 1.7349177840734322e-09, 1.7087768936274095e-09,
     1.7622955506473493e-09, 0, 2106.3, true},
    {12.8, Deviation::Allan, 7, 2.5e-11, 2.5e-11, 2.5e-11, 2, 0, false},
    {0.1, Deviation::Time, 4093, 1e-10 / 3, 3e-11, 4e-11, -2, 100, true},
};

TEST(DeviationTable, CsvHasOneRowPerPointWithFullDigitsEmptyMissingBoundsAndTheNoise) {
    EXPECT_EQ(analysis::deviationCsv(kPoints),
              "tau,deviation,terms,value,lower,upper,noise\n"
              "0.10000000000000001,adev,4095,1.7349177840734322e-09,1.7087768936274095e-09,"
              "1.7622955506473493e-09,white FM\n"
              "12.800000000000001,adev,7,2.5000000000000001e-11,,,white PM\n"
              "0.10000000000000001,tdev,4093,3.3333333333333335e-11,3e-11,"
              "3.9999999999999998e-11,random walk FM\n");
}

// Each deviation has its own description, found again by its CSV name, and the caption its table
// is titled with.
TEST(DeviationTable, EveryDeviationIsDescribedOnceUnderItsOwnName) {
    std::set<std::string_view> names;
    for (Deviation kind : analysis::allDeviations()) {
        const analysis::DeviationDescription& description = analysis::deviationDescription(kind);
        EXPECT_EQ(description.kind, kind);
        EXPECT_TRUE(names.insert(description.shortName).second) << description.shortName;
        EXPECT_EQ(analysis::deviationFromShortName(description.shortName), kind);
        const DeviationPoint point{1, kind, 1, 1, 1, 1, 0, 0, false};
        EXPECT_EQ(
            analysis::deviationTable(std::span(&point, 1)).substr(0, description.caption.size()),
            description.caption);
    }
    EXPECT_EQ(names.size(), 13u);
    EXPECT_EQ(analysis::deviationDescription(Deviation::TimeTotal).unit,
              analysis::DeviationUnit::Seconds);
    EXPECT_EQ(analysis::deviationDescription(Deviation::Total).unit,
              analysis::DeviationUnit::Fractional);
}

TEST(DeviationTable, TableGroupsEachDeviationUnderItsNameWithTheNoiseOfItsInterval) {
    EXPECT_EQ(analysis::deviationTable(kPoints),
              "Overlapping Allan deviation (ADEV)\n"
              "       tau/s     terms   deviation       lower       upper  noise\n"
              "         0.1      4095  1.7349e-09  1.7088e-09  1.7623e-09  white FM\n"
              "        12.8         7  2.5000e-11           -           -  white PM\n"
              "\n"
              "Time deviation (TDEV, s)\n"
              "       tau/s     terms   deviation       lower       upper  noise\n"
              "         0.1      4093  3.3333e-11  3.0000e-11  4.0000e-11  random walk FM\n");
}

TEST(DeviationTable, NoiseTypesByAlpha) {
    const std::vector<std::string> names{"random run FM", "flicker walk FM", "random walk FM",
                                         "flicker FM",    "white FM",        "flicker PM",
                                         "white PM"};
    for (int alpha = -4; alpha <= 2; ++alpha) {
        EXPECT_EQ(analysis::noiseTypeName(alpha), names[static_cast<std::size_t>(alpha + 4)]);
    }
    EXPECT_EQ(analysis::noiseTypeName(3), "alpha 3");
}

} // namespace
