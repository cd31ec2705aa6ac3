// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/paint_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace graph {

namespace {

graph::Trace makeTrace(std::initializer_list<graph::Point> points, bool rightAxis = false) {
    graph::Trace trace;
    trace.points = graph::PointArray(points);
    trace.rightAxis = rightAxis;
    return trace;
}

struct PlanCase {
    std::string name;
    graph::TraceList traces;
    RangeSettings x;
    RangeSettings left;
    RangeSettings right;
    std::vector<int> leftList;
    std::vector<int> rightList;
    AxisRange xRange;
    AxisRange leftRange;
    AxisRange rightRange;
};

std::vector<PlanCase> cases() {
    std::vector<PlanCase> cases;
    cases.push_back({"SinglePoint",
                     {makeTrace({{2, 5}})},
                     {},
                     {},
                     {},
                     {0},
                     {},
                     {1.9, 2.1},
                     {4.75, 5.25},
                     {-1, 1}});
    cases.push_back({"TenAndTwenty",
                     {makeTrace({{0, 10}, {1, 20}})},
                     {},
                     {},
                     {},
                     {0},
                     {},
                     {-0.05, 1.05},
                     {9.5, 20.5},
                     {-1, 1}});
    cases.push_back({"AllMinusTen",
                     {makeTrace({{0, -10}, {1, -10}, {2, -10}})},
                     {},
                     {},
                     {},
                     {0},
                     {},
                     {-0.1, 2.1},
                     {-10.5, -9.5},
                     {-1, 1}});
    cases.push_back({"AllZero",
                     {makeTrace({{0, 0}, {4, 0}})},
                     {},
                     {},
                     {},
                     {0},
                     {},
                     {-0.2, 4.2},
                     {-1, 1},
                     {-1, 1}});
    cases.push_back({"SecondsAsMinutes",
                     {makeTrace({{60, 1}, {120, 2}})},
                     {true, -1, 1, 1.0 / 60},
                     {},
                     {},
                     {0},
                     {},
                     {0.95, 2.05},
                     {0.95, 2.05},
                     {-1, 1}});
    cases.push_back({"FixedRangesNotScaled",
                     {makeTrace({{0, 10e6}, {1, 10.1e6}})},
                     {false, 3, 7, 1.0 / 60},
                     {false, 24999990.0, 25000010.0, 1e-6},
                     {},
                     {0},
                     {},
                     {3, 7},
                     {24999990.0, 25000010.0},
                     {-1, 1}});
    cases.push_back({"FixedRangeReversedKept",
                     {makeTrace({{0, 1}})},
                     {false, 5, 5, 1},
                     {false, 2, -2, 1},
                     {},
                     {0},
                     {},
                     {5, 5},
                     {2, -2},
                     {-1, 1}});
    cases.push_back({"ScaledLeftAxis",
                     {makeTrace({{0, 10e6}, {1, 12e6}})},
                     {},
                     {true, 0, 0, 1e-6},
                     {},
                     {0},
                     {},
                     {-0.05, 1.05},
                     {9.9, 12.1},
                     {-1, 1}});
    cases.push_back({"RightAxisOnly",
                     {makeTrace({{1, 3}, {3, 5}}, true)},
                     {},
                     {},
                     {true, 0, 0, 2},
                     {},
                     {0},
                     {0.9, 3.1},
                     {-1, 1},
                     {5.8, 10.2}});
    cases.push_back({"BothAxesShareX",
                     {makeTrace({{0, 1}, {10, 2}}, true), makeTrace({{-10, 7}})},
                     {},
                     {},
                     {},
                     {1},
                     {0},
                     {-11, 11},
                     {6.65, 7.35},
                     {0.95, 2.05}});
    cases.push_back({"NoTraces", {}, {}, {}, {}, {}, {}, {-1, 1}, {-1, 1}, {-1, 1}});

    graph::TraceList ignored{makeTrace({{0, 1}, {1, 2}}), makeTrace({{100, 100}}),
                             makeTrace({{-100, -100}}), makeTrace({}), makeTrace({{5, 1.5}})};
    ignored[1].lineOn = false;
    ignored[1].symbolOn = false;
    ignored[2].visible = false;
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
    graph::TraceList symbolsOnly{makeTrace({{0, 1}, {1, 3}})};
    symbolsOnly[0].lineOn = false;
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

void expectRange(const AxisRange& actual, const AxisRange& expected, const char* axis) {
    EXPECT_DOUBLE_EQ(actual.lower, expected.lower) << axis;
    EXPECT_DOUBLE_EQ(actual.upper, expected.upper) << axis;
}

TEST_P(PaintPlanTable, SortsTracesAndRangesAxes) {
    const PlanCase& c = GetParam();
    const PaintPlan plan = planPaint(c.traces, c.x, c.left, c.right, 0.05);
    EXPECT_EQ(plan.left, c.leftList);
    EXPECT_EQ(plan.right, c.rightList);
    expectRange(plan.x, c.xRange, "x");
    expectRange(plan.yLeft, c.leftRange, "left");
    expectRange(plan.yRight, c.rightRange, "right");
}

INSTANTIATE_TEST_SUITE_P(Cases, PaintPlanTable, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return info.param.name; });

TEST(PaintPlan, IncrementalRangesMatchAScanOfEveryPoint) {
    graph::TraceList traces(2);
    traces[1].rightAxis = true;
    std::vector<double> xs;
    std::vector<double> lefts;
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return double(seed % 100000) / 7.0 - 5000.0;
    };
    for (int i = 0; i < 5000; ++i) {
        const graph::Point p{next(), next()};
        traces[i % 2].points.add(p);
        xs.push_back(p.x * 0.37);
        if (i % 2 == 0)
            lefts.push_back(p.y * -3.0);
    }
    const PaintPlan plan = planPaint(traces, {true, 0, 0, 0.37}, {true, 0, 0, -3.0}, {}, 0.05);
    const AxisRange x = autoRange(xs, 0.05);
    const AxisRange left = autoRange(lefts, 0.05);
    EXPECT_EQ(plan.x.lower, x.lower);
    EXPECT_EQ(plan.x.upper, x.upper);
    EXPECT_EQ(plan.yLeft.lower, left.lower);
    EXPECT_EQ(plan.yLeft.upper, left.upper);
}

} // namespace

} // namespace graph
