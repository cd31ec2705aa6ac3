#include "graph/paint_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TTrace MakeTrace(std::initializer_list<TPoint> Points, bool RightAxis = false) {
    TTrace trace;
    trace.Points = TPointArray(Points);
    trace.RightAxis = RightAxis;
    return trace;
}

struct PlanCase {
    std::string Name;
    TTraceArray Traces;
    TRangeSettings X;
    TRangeSettings Left;
    TRangeSettings Right;
    std::vector<int> LeftList;
    std::vector<int> RightList;
    TAxisRange XRange;
    TAxisRange LeftRange;
    TAxisRange RightRange;
};

std::vector<PlanCase> Cases() {
    std::vector<PlanCase> cases;
    cases.push_back({"SinglePoint",
                     {MakeTrace({{2, 5}})},
                     {},
                     {},
                     {},
                     {0},
                     {},
                     {1.9, 2.1},
                     {4.75, 5.25},
                     {-1, 1}});
    cases.push_back({"TenAndTwenty",
                     {MakeTrace({{0, 10}, {1, 20}})},
                     {},
                     {},
                     {},
                     {0},
                     {},
                     {-0.05, 1.05},
                     {9.5, 20.5},
                     {-1, 1}});
    cases.push_back({"AllMinusTen",
                     {MakeTrace({{0, -10}, {1, -10}, {2, -10}})},
                     {},
                     {},
                     {},
                     {0},
                     {},
                     {-0.1, 2.1},
                     {-10.5, -9.5},
                     {-1, 1}});
    cases.push_back({"AllZero",
                     {MakeTrace({{0, 0}, {4, 0}})},
                     {},
                     {},
                     {},
                     {0},
                     {},
                     {-0.2, 4.2},
                     {-1, 1},
                     {-1, 1}});
    cases.push_back({"SecondsAsMinutes",
                     {MakeTrace({{60, 1}, {120, 2}})},
                     {true, -1, 1, 1.0 / 60},
                     {},
                     {},
                     {0},
                     {},
                     {0.95, 2.05},
                     {0.95, 2.05},
                     {-1, 1}});
    cases.push_back({"FixedRangesNotScaled",
                     {MakeTrace({{0, 10e6}, {1, 10.1e6}})},
                     {false, 3, 7, 1.0 / 60},
                     {false, 24999990.0, 25000010.0, 1e-6},
                     {},
                     {0},
                     {},
                     {3, 7},
                     {24999990.0, 25000010.0},
                     {-1, 1}});
    cases.push_back({"FixedRangeReversedKept",
                     {MakeTrace({{0, 1}})},
                     {false, 5, 5, 1},
                     {false, 2, -2, 1},
                     {},
                     {0},
                     {},
                     {5, 5},
                     {2, -2},
                     {-1, 1}});
    cases.push_back({"ScaledLeftAxis",
                     {MakeTrace({{0, 10e6}, {1, 12e6}})},
                     {},
                     {true, 0, 0, 1e-6},
                     {},
                     {0},
                     {},
                     {-0.05, 1.05},
                     {9.9, 12.1},
                     {-1, 1}});
    cases.push_back({"RightAxisOnly",
                     {MakeTrace({{1, 3}, {3, 5}}, true)},
                     {},
                     {},
                     {true, 0, 0, 2},
                     {},
                     {0},
                     {0.9, 3.1},
                     {-1, 1},
                     {5.8, 10.2}});
    cases.push_back({"BothAxesShareX",
                     {MakeTrace({{0, 1}, {10, 2}}, true), MakeTrace({{-10, 7}})},
                     {},
                     {},
                     {},
                     {1},
                     {0},
                     {-11, 11},
                     {6.65, 7.35},
                     {0.95, 2.05}});
    cases.push_back({"NoTraces", {}, {}, {}, {}, {}, {}, {-1, 1}, {-1, 1}, {-1, 1}});

    TTraceArray ignored{MakeTrace({{0, 1}, {1, 2}}), MakeTrace({{100, 100}}),
                        MakeTrace({{-100, -100}}), MakeTrace({}), MakeTrace({{5, 1.5}})};
    ignored[1].LineOn = false;
    ignored[1].SymbolOn = false;
    ignored[2].Visible = false;
    cases.push_back({"NotCountingTracesIgnored",
                     ignored,
                     {},
                     {},
                     {},
                     {0, 4},
                     {},
                     {-0.25, 5.25},
                     {0.95, 2.05},
                     {-1, 1}});
    TTraceArray symbolsOnly{MakeTrace({{0, 1}, {1, 3}})};
    symbolsOnly[0].LineOn = false;
    cases.push_back({"SymbolsOnlyCounts",
                     symbolsOnly,
                     {},
                     {},
                     {},
                     {0},
                     {},
                     {-0.05, 1.05},
                     {0.9, 3.1},
                     {-1, 1}});
    return cases;
}

class PaintPlanTable : public ::testing::TestWithParam<PlanCase> {};

void ExpectRange(const TAxisRange& actual, const TAxisRange& expected, const char* axis) {
    EXPECT_DOUBLE_EQ(actual.Lower, expected.Lower) << axis;
    EXPECT_DOUBLE_EQ(actual.Upper, expected.Upper) << axis;
}

TEST_P(PaintPlanTable, SortsTracesAndRangesAxes) {
    const PlanCase& c = GetParam();
    const TPaintPlan plan = PlanPaint(c.Traces, c.X, c.Left, c.Right, 0.05);
    EXPECT_EQ(plan.Left, c.LeftList);
    EXPECT_EQ(plan.Right, c.RightList);
    ExpectRange(plan.X, c.XRange, "x");
    ExpectRange(plan.YLeft, c.LeftRange, "left");
    ExpectRange(plan.YRight, c.RightRange, "right");
}

INSTANTIATE_TEST_SUITE_P(Cases, PaintPlanTable, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.Name; });

TEST(PaintPlan, IncrementalRangesMatchAScanOfEveryPoint) {
    TTraceArray traces(2);
    traces[1].RightAxis = true;
    std::vector<double> xs;
    std::vector<double> lefts;
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return double(seed % 100000) / 7.0 - 5000.0;
    };
    for (int i = 0; i < 5000; ++i) {
        const TPoint p{next(), next()};
        traces[i % 2].Points.Add(p);
        xs.push_back(p.X * 0.37);
        if (i % 2 == 0)
            lefts.push_back(p.Y * -3.0);
    }
    const TPaintPlan plan = PlanPaint(traces, {true, 0, 0, 0.37}, {true, 0, 0, -3.0}, {}, 0.05);
    const TAxisRange x = AutoRange(xs, 0.05);
    const TAxisRange left = AutoRange(lefts, 0.05);
    EXPECT_EQ(plan.X.Lower, x.Lower);
    EXPECT_EQ(plan.X.Upper, x.Upper);
    EXPECT_EQ(plan.YLeft.Lower, left.Lower);
    EXPECT_EQ(plan.YLeft.Upper, left.Upper);
}

} // namespace
