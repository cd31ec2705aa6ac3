// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/trace_drawing.h"

#include "plot/plot_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <string>

namespace graph {

namespace {

constexpr int kWidth = 1122;
constexpr int kHeight = 476;

struct Axes {
    double xMin, xMax, yMin, yMax;
};

// A picture with the plot area of the main window and the given world ranges (axes in the back
// colour, which shows only the y axis' zero line), the traces drawn by one of the two paths,
// finished as the paint handler finishes it.
// The traces are drawn in place: what one repaint keeps with a trace's points, the next finds.
using Traces = std::vector<std::reference_wrapper<const graph::Trace>>;

QImage draw(const Traces& traces, const Axes& a, const TraceStyle& style, bool fast,
            bool& usedFast) {
    plot::ImageHost host(kWidth, kHeight);
    plot::PlotEngine engine(host);
    engine.startGraph(plot::kButtonFace, plot::kBlue, 1.5);
    engine.setPlotArea({20, 90, 10, 80});
    engine.drawAxis(
        {.kind = plot::AxisKind::X, .colour = plot::kButtonFace, .start = a.xMin, .end = a.xMax});
    engine.drawAxis(
        {.kind = plot::AxisKind::Y, .colour = plot::kButtonFace, .start = a.yMin, .end = a.yMax});
    // A line ending inside leaves its end dot pending, as a trace before these would.
    engine.setPenColour(plot::kRed);
    engine.moveTo(a.xMin, a.yMin);
    engine.drawTo((a.xMin + a.xMax) / 2, (a.yMin + a.yMax) / 2);

    std::vector<const graph::Trace*> list;
    for (const graph::Trace& t : traces)
        list.push_back(&t);
    usedFast = fast && drawTracesFast(engine, list, style);
    if (!usedFast)
        drawTracesPerPoint(engine, list, style);
    engine.finishGraph();
    return host.engineCanvas().image().copy();
}

void expectSamePicture(const Traces& traces, const Axes& a, const TraceStyle& style) {
    bool fast = false;
    const QImage plain = draw(traces, a, style, false, fast);
    const QImage masked = draw(traces, a, style, true, fast);
    ASSERT_TRUE(fast) << "the fast path declined";
    int differing = 0;
    std::string first;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (plain.pixel(x, y) != masked.pixel(x, y) && differing++ == 0)
                first = std::to_string(x) + "," + std::to_string(y);
    EXPECT_EQ(differing, 0) << "first differing pixel at " << first;
    // The traces did draw something, so the comparison means something.
    const QImage empty = draw({}, a, style, false, fast);
    int drawn = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            drawn += plain.pixel(x, y) != empty.pixel(x, y) ? 1 : 0;
    EXPECT_GT(drawn, 100);
}

graph::Trace makeTrace(plot::Color color, int symbol, bool lineOn, bool symbolOn) {
    graph::Trace t;
    t.colour = color;
    t.symbol = symbol;
    t.lineOn = lineOn;
    t.symbolOn = symbolOn;
    return t;
}

TEST(FastDrawing, RandomDataEveryShape) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> x(0, 100);
    std::normal_distribution<double> y(0, 1);
    for (int shape = 1; shape <= 8; ++shape) {
        std::vector<graph::Trace> traces{makeTrace(plot::kRed, shape, true, true),
                                         makeTrace(plot::kGreen, 9 - shape, true, false),
                                         makeTrace(plot::kBlue, shape, false, true)};
        for (graph::Trace& t : traces)
            for (int i = 0; i < 3000; ++i)
                t.points.add({x(rng), y(rng)});
        SCOPED_TRACE("shape " + std::to_string(shape));
        expectSamePicture(Traces(traces.begin(), traces.end()), {0, 100, -3, 3},
                          {1.0, 1.0, shape == 1 ? 8 : 2 + shape});
    }
}

TEST(FastDrawing, DenseDriftingSeriesWithNoise) {
    for (bool symbols : {true, false}) {
        std::mt19937_64 rng(7);
        std::normal_distribution<double> noise(0, 0.02);
        graph::Trace t = makeTrace(plot::kBlue, 1, true, symbols);
        for (int i = 0; i < 200000; ++i)
            t.points.add({i * 0.5, 10e6 + i * 1e-6 + noise(rng)});
        SCOPED_TRACE(symbols ? "with symbols" : "lines only");
        expectSamePicture({t}, {0, 100000.0 / 60, 10e6 - 0.1, 10e6 + 0.3}, {1.0 / 60, 1.0, 8});
    }
}

// Over a hundred thousand points in a column, so that groups of every level lie whole in one
// column beside runs and single points at its edges, each shape reaching rows that earlier
// stretches of its column left unmarked in its own way: noise, two bands with unmarked rows
// between them, a drift through the rows, levels on the edge rows, spikes beyond the plot and
// missing values, a lone value on the top row and a step; the line broken now and then. Mirrored
// scales map later points to upper rows and to columns further left.
TEST(FastDrawing, ColumnsOfManyPointsEveryShape) {
    enum class Shape { Noise, TwoBands, Drift, LevelsOnEdgeRows, Spikes, TopValueAndStep };
    struct Mirror {
        const char* name;
        double x, y;
    };
    constexpr int kCount = 280'000;
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    for (Shape shape : {Shape::Noise, Shape::TwoBands, Shape::Drift, Shape::LevelsOnEdgeRows,
                        Shape::Spikes, Shape::TopValueAndStep}) {
        std::mt19937_64 rng(int(shape) + 40);
        std::normal_distribution<double> noise(0, 1);
        std::uniform_int_distribution<int> level(-1, 1);
        std::vector<double> values;
        double value = 0;
        for (int i = 0; i < kCount; ++i) {
            switch (shape) {
            case Shape::Noise:
                value = noise(rng);
                break;
            case Shape::TwoBands:
                value = (i % 2 == 0 ? 2 : -2) + noise(rng) * 0.05;
                break;
            case Shape::Drift:
                value = -3 + 6.0 * i / kCount + noise(rng) * 0.01;
                break;
            case Shape::LevelsOnEdgeRows:
                if (i % 5000 == 0)
                    value = level(rng) * 4.5; // the top, middle and bottom row
                break;
            case Shape::Spikes:
                value = i % 30011 == 0 ? 9 * level(rng) : i % 7919 == 0 ? kNaN : noise(rng) * 0.1;
                break;
            case Shape::TopValueAndStep:
                // The run before the one holding the first break, taken alone as its group holds
                // the break, ends on the top row, and the line goes on inside from there; at the
                // fourth break, in the next column, the values step up.
                value = i == 25'000 - 64 - 41 ? 4.5 : noise(rng) * 0.1 + (i < 175'000 ? 0 : 2);
                break;
            }
            values.push_back(value);
        }
        const bool mirrorToo = shape == Shape::TwoBands || shape == Shape::Drift;
        for (const Mirror& mirror : {Mirror{"", 1, 1}, Mirror{", mirrored", -1, -1}}) {
            if (mirror.x < 0 && !mirrorToo)
                continue;
            for (auto [lines, symbols] : {std::pair{true, true}, {true, false}, {false, true}}) {
                graph::Trace t = makeTrace(plot::kNavy, 1, lines, symbols);
                for (int i = 0; i < kCount; ++i) {
                    if (i % 50'000 == 25'000)
                        t.points.breakLine();
                    t.points.add({double(i), values[i]});
                }
                SCOPED_TRACE("shape " + std::to_string(int(shape)) + mirror.name +
                             (lines ? ", lines" : "") + (symbols ? ", symbols" : ""));
                // The points span about two columns, a little way in from the plot's edges.
                const double xEnd = mirror.x * kCount * 400.0;
                const double margin = kCount * 100.0;
                expectSamePicture(
                    {t}, {std::min(0.0, xEnd) - margin, std::max(0.0, xEnd) + margin, -4.5, 4.5},
                    {mirror.x, mirror.y, 8});
            }
        }
    }
}

// Repaint after repaint as readings come: each moves the x range, the y range holds, so each
// repaint finds the rows of stretches kept by the one before (the second repaint under a mapping
// starts keeping them); until the values map to other rows, or the points are cleared and others
// take their place.
TEST(FastDrawing, RepaintsKeepTheRowsTheyFound) {
    for (bool bands : {false, true}) {
        std::mt19937_64 rng(23);
        std::normal_distribution<double> noise(0, 1);
        auto value = [&](int i) {
            return bands ? (i % 2 == 0 ? 2 : -2) + noise(rng) * 0.3 : noise(rng);
        };
        graph::Trace t = makeTrace(plot::kRed, 1, true, true);
        int count = 0;
        auto addReadings = [&](int n, double shift) {
            for (int i = 0; i < n; ++i, ++count)
                t.points.add({double(count), value(count) + shift});
        };
        addReadings(100'000, 0);
        for (int repaint = 0; repaint < 6; ++repaint) {
            addReadings(97, 0);
            // About 50 columns of points; the fourth repaint maps the values to other rows.
            const double yHalf = repaint == 3 ? 4.4 : 4.5;
            SCOPED_TRACE(std::string(bands ? "bands" : "noise") + ", repaint " +
                         std::to_string(repaint));
            expectSamePicture({t}, {0, count * 16.0, -yHalf, yHalf}, {1.0, 1.0, 8});
        }
        // The same mapping once more, on other points.
        const double xEnd = count * 16.0;
        t.points.clear();
        count = 0;
        addReadings(100'600, 0.5);
        for (int repaint = 0; repaint < 2; ++repaint) {
            SCOPED_TRACE(std::string(bands ? "bands" : "noise") + ", other points " +
                         std::to_string(repaint));
            expectSamePicture({t}, {0, xEnd, -4.5, 4.5}, {1.0, 1.0, 8});
        }
    }
}

TEST(FastDrawing, LongFlatRuns) {
    for (bool symbols : {true, false}) {
        std::mt19937_64 rng(3);
        std::uniform_int_distribution<int> level(0, 20);
        graph::Trace t = makeTrace(plot::kFuchsia, 2, true, symbols);
        graph::Trace u = makeTrace(plot::kTeal, 7, true, symbols);
        double value = 10;
        for (int i = 0; i < 60000; ++i) {
            if (i % 700 == 0)
                value = level(rng);
            t.points.add({double(i), value});
            u.points.add({double(i), 20 - value});
        }
        // The top and bottom levels lie exactly on the plot edges.
        SCOPED_TRACE(symbols ? "with symbols" : "lines only");
        expectSamePicture({t, u}, {0, 60000, 0, 20}, {1.0, 1.0, 8});
    }
}

TEST(FastDrawing, DataCrossingThePlotEdges) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> wide(-3, 4);
    std::uniform_int_distribution<int> pick(0, 40);
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    graph::Trace t = makeTrace(plot::kRed, 1, true, true);
    graph::Trace u = makeTrace(plot::kNavy, 3, true, true);
    for (int i = 0; i < 20000; ++i) {
        double px = wide(rng);
        double py = wide(rng);
        switch (pick(rng)) {
        case 0:
            px = 1e12;
            break;
        case 1:
            py = -1e12;
            break;
        case 2:
            py = kNaN;
            break;
        case 3:
            px = 0; // on the left edge
            break;
        case 4:
            py = 1; // on the top edge
            break;
        default:
            break;
        }
        t.points.add({px, py});
        u.points.add({i * 1e-4, wide(rng)});
    }
    expectSamePicture({t, u}, {0, 1, 0, 1}, {1.0, 1.0, 8});
}

// A long trace is walked across a block boundary passing stretches from their summaries, or,
// where its time goes back once, point by point in two halves that meet at the boundary; what
// happens right there must leave the same pixels as one walk point by point.
TEST(FastDrawing, LongTraceHalvesMeetAtABlockBoundary) {
    constexpr int kCount = 140000;
    constexpr int kBoundary = int(graph::PointArray::kBlockSize);
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        double before; // the last point of the first half
        double after;  // the first points of the second half
        double around; // the neighbours on both sides
    };
    const Case cases[] = {
        {"vertical run inside", 0.3, 0.7, 0.5},    {"run ending on the top edge", 1.0, 1.0, 0.2},
        {"run on the bottom edge", 0.0, 0.0, 0.0}, {"flat run inside", 0.4, 0.4, 0.4},
        {"leaving the plot", 2.0, 0.5, 0.5},       {"coming from outside", 0.5, -1.0, 0.5},
        {"missing value", kNaN, 0.6, 0.4},
    };
    // Without a gap the boundary lies inside a column of many points; with one, the segment
    // joining the halves crosses columns no other segment reaches.
    for (const Case& c : cases) {
        for (double gap : {0.0, 20000.0}) {
            for (auto [symbols, goesBack] :
                 {std::pair{true, false}, {false, false}, {true, true}}) {
                std::mt19937_64 rng(9);
                std::uniform_real_distribution<double> noise(0.1, 0.9);
                graph::Trace t = makeTrace(plot::kMaroon, 1, true, symbols);
                for (int i = 0; i < kCount; ++i) {
                    double y = noise(rng);
                    if (i >= kBoundary - 400 && i < kBoundary + 400)
                        y = c.around;
                    if (i == kBoundary - 1)
                        y = c.before;
                    if (i == kBoundary || i == kBoundary + 1)
                        y = c.after;
                    const double x = i < kBoundary ? double(i) : i + gap;
                    t.points.add({goesBack && i == 10 ? 5.0 : x, y});
                }
                SCOPED_TRACE(std::string(c.name) + (gap > 0 ? ", gap" : ", no gap") +
                             (symbols ? ", with symbols" : ", lines only") +
                             (goesBack ? ", in halves" : ""));
                expectSamePicture({t}, {0, kCount + gap, 0, 1}, {1.0, 1.0, 8});
            }
        }
    }
}

// Where the line breaks, no line joins the points on either side: two points far apart draw
// nothing between them, and a dense trace broken inside a run, at the first point of a run, of a
// group and of the second half, inside a column of many points, twice in a row and at the very
// end gives the same picture on both paths.
TEST(FastDrawing, NoLineCrossesABreak) {
    graph::Trace pair = makeTrace(plot::kRed, 1, true, false);
    pair.points.add({10, 0.5});
    pair.points.breakLine();
    pair.points.add({90, 0.5});
    bool fast = false;
    const QImage broken = draw({pair}, {0, 100, 0, 1}, {1.0, 1.0, 8}, true, fast);
    EXPECT_TRUE(fast);
    const QImage empty = draw({}, {0, 100, 0, 1}, {1.0, 1.0, 8}, false, fast);
    int lineColumns = 0;
    for (int x = 0; x < kWidth; ++x)
        for (int y = 0; y < kHeight; ++y)
            if (broken.pixel(x, y) != empty.pixel(x, y)) {
                ++lineColumns;
                break;
            }
    EXPECT_LE(lineColumns, 2) << "only the two end points";

    constexpr std::size_t kRun = graph::RunSummary::kPoints;
    constexpr std::size_t kGroup = graph::GroupSummary::points(2);
    constexpr std::size_t kBlock = graph::PointArray::kBlockSize;
    const std::set<std::size_t> breaks{100,    kRun * 7,          kGroup * 3,     kGroup * 3 + 1,
                                       kBlock, kBlock + 5 * kRun, 2 * kBlock - 1, 2 * kBlock + 30};
    for (auto [lines, symbols] : {std::pair{true, true}, {true, false}, {false, true}}) {
        std::mt19937_64 rng(5);
        std::uniform_real_distribution<double> noise(0.3, 0.7);
        graph::Trace t = makeTrace(plot::kBlue, 1, lines, symbols);
        for (std::size_t i = 0; i < 2 * kBlock + 30; ++i) {
            if (breaks.contains(i))
                t.points.breakLine();
            // A step at every break, which a line across it would draw.
            const double level = breaks.contains(i) ? 0.0 : 0.2;
            t.points.add({double(i), noise(rng) * 0.2 + level + (i / 1000 % 2) * 0.5});
        }
        t.points.breakLine();
        SCOPED_TRACE(std::string(lines ? "lines " : "") + (symbols ? "symbols" : ""));
        expectSamePicture({t}, {0, 2.0 * kBlock + 30, 0, 1.5}, {1.0, 1.0, 8});
    }
}

// Time-ordered traces draw whole runs of points from their summaries: many runs per column,
// runs cut by column edges, values reaching past the plot on every side, missing values and
// jumps in time, flat levels on the edge rows, and a trace whose time goes back once.
TEST(FastDrawing, TimeOrderedRunsEveryLayerAndView) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    struct View {
        const char* name;
        Axes axes;
    };
    const View views[] = {
        {"whole trace", {0, 300, -1.6, 1.6}},
        {"zoomed in, points beyond every edge", {100, 180, -0.6, 0.5}},
        {"a few points per column", {150, 152.5, -1.6, 1.6}},
    };
    enum class Shape { Noisy, Levels, Gaps, GoesBack, RunsEndOnTheTopRow };
    for (Shape shape :
         {Shape::Noisy, Shape::Levels, Shape::Gaps, Shape::GoesBack, Shape::RunsEndOnTheTopRow}) {
        std::mt19937_64 rng(int(shape) + 21);
        std::normal_distribution<double> noise(0, 0.15);
        std::uniform_int_distribution<int> level(-2, 2);
        std::vector<graph::Point> points;
        double value = 0;
        for (int i = 0; i < 120000; ++i) {
            double x = i * 0.0025;
            double y = std::sin(x / 20) + noise(rng);
            if (shape == Shape::Levels) {
                if (i % 500 == 0)
                    value = level(rng) * 0.8; // two levels lie on the top and bottom rows
                y = value;
            }
            if (shape == Shape::Gaps && i % 9000 < 3)
                y = kNaN;
            if (shape == Shape::Gaps && i >= 70000)
                x += 40;
            // Every other run ends on the top row and is followed by a point far above.
            if (shape == Shape::RunsEndOnTheTopRow && i % 128 == 63)
                y = 1.6;
            if (shape == Shape::RunsEndOnTheTopRow && i % 128 == 64)
                y = 5;
            if (shape == Shape::GoesBack && i == 70000)
                x = 10;
            points.push_back({x, y});
        }
        for (const View& view : views) {
            for (auto [lines, symbols] : {std::pair{true, true}, {true, false}, {false, true}}) {
                graph::Trace t = makeTrace(plot::kTeal, 1, lines, symbols);
                for (const graph::Point& p : points)
                    t.points.add(p);
                SCOPED_TRACE(std::string(view.name) + ", shape " + std::to_string(int(shape)) +
                             (lines ? ", lines" : "") + (symbols ? ", symbols" : ""));
                Axes axes = view.axes;
                if (shape == Shape::Levels || shape == Shape::RunsEndOnTheTopRow)
                    axes.yMin = -1.6, axes.yMax = 1.6;
                expectSamePicture({t}, axes, {1.0, 1.0, 6});
            }
        }
    }
}

// Runs of points within one column that reach the top or bottom row from inside, at a point
// in their middle; and a trace whose last run ends alone on the top row, a final value the line
// leaves out.
TEST(FastDrawing, RunsReachingTheEdgeRows) {
    std::mt19937_64 rng(17);
    std::normal_distribution<double> noise(0, 0.1);
    std::vector<graph::Point> spikes;
    for (int i = 0; i < 64 * 2000; ++i) {
        const double x = i * 0.0025;
        const double y = i % 256 == 30    ? 1
                         : i % 256 == 150 ? -1
                                          : std::sin(x / 20) / 2 + noise(rng);
        spikes.push_back({x, y});
    }
    std::vector<graph::Point> endingOnTop = spikes;
    endingOnTop.back().y = 3;
    for (bool symbols : {true, false}) {
        for (const auto& [points, yMax] : {std::pair{&spikes, 1.0}, {&endingOnTop, 3.0}}) {
            graph::Trace t = makeTrace(plot::kTeal, 1, true, symbols);
            for (const graph::Point& p : *points)
                t.points.add(p);
            SCOPED_TRACE(std::string(points == &spikes ? "spikes onto the edge rows"
                                                       : "ending on the top row") +
                         (symbols ? ", symbols" : ""));
            expectSamePicture({t}, {0, 330, -yMax, yMax}, {1.0, 1.0, 6});
        }
    }
}

TEST(FastDrawing, SteepAndShallowLinesWithFewPoints) {
    graph::Trace t = makeTrace(plot::kBlack, 8, true, true);
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> v(-0.2, 1.2);
    for (int i = 0; i < 300; ++i)
        t.points.add({v(rng), v(rng)});
    graph::Trace single = makeTrace(plot::kRed, 4, true, true);
    single.points.add({0.5, 0.5});
    expectSamePicture({t, single}, {0, 1, 0, 1}, {1.0, 1.0, 15});
}

TEST(FastDrawing, DeclinesWhereOnlyThePerPointPathIsExact) {
    graph::Trace dot = makeTrace(plot::kRed, 0, true, true);
    dot.points.add({0.5, 0.5});
    graph::Trace immediate = makeTrace(plot::kRed, 1 + 16, true, true);
    immediate.points.add({0.5, 0.5});
    bool fast = true;
    draw({dot}, {0, 1, 0, 1}, {1, 1, 8}, true, fast);
    EXPECT_FALSE(fast);
    draw({immediate}, {0, 1, 0, 1}, {1, 1, 8}, true, fast);
    EXPECT_FALSE(fast);
    graph::Trace circle = makeTrace(plot::kRed, 1, true, true);
    circle.points.add({0.5, 0.5});
    draw({circle}, {0, 1, 0, 1}, {1, 1, 1}, true, fast);
    EXPECT_FALSE(fast);
    draw({circle}, {0, 1, 0, 1}, {1, 1, 8}, true, fast);
    EXPECT_TRUE(fast);
}

// Readings kept elsewhere: whole milliseconds from a block's base and values as whole micro-units
// from a base, one block holding a time that is not whole milliseconds and its values in columns
// of doubles, as the window's store keeps them.
class MillisecondSource : public PointSource {
public:
    static constexpr double kMicroBase = 1e13;

    void add(std::int64_t ms, std::int32_t microTick, bool wide) {
        if (size_ % PointArray::kBlockSize == 0)
            blocks_.push_back({ms, {}, {}, {}, {}, wide});
        Block& b = blocks_.back();
        b.ticks.push_back(static_cast<std::int32_t>(ms - b.base));
        b.times.push_back(wide ? static_cast<double>(ms) + 0.25 : static_cast<double>(ms));
        b.yTicks.push_back(microTick);
        b.y.push_back(valueOf(microTick));
        ++size_;
    }
    static double valueOf(std::int32_t microTick) { return (kMicroBase + microTick) / 1e6; }
    std::size_t size() const override { return size_; }
    PointBlock block(std::size_t index) const override {
        const Block& b = blocks_[index];
        if (b.wide)
            return {
                b.y.size(), {.values = b.times.data(), .divisor = 1000}, {.values = b.y.data()}};
        return {b.y.size(),
                {nullptr, b.ticks.data(), static_cast<double>(b.base), 1000},
                {nullptr, b.yTicks.data(), kMicroBase, 1e6}};
    }

private:
    struct Block {
        std::int64_t base;
        std::vector<std::int32_t> ticks;
        std::vector<double> times;
        std::vector<std::int32_t> yTicks;
        std::vector<double> y;
        bool wide;
    };
    std::vector<Block> blocks_;
    std::size_t size_ = 0;
};

// A trace following a source of millisecond time stamps and decimal values draws, on both paths,
// what a trace of its own points in seconds draws, and takes in points and breaks as they come.
TEST(FastDrawing, ATraceOnMillisecondsDrawsAsItsPointsInSeconds) {
    auto source = std::make_shared<MillisecondSource>();
    graph::Trace followed = makeTrace(plot::kRed, 2, true, true);
    followed.points = PointArray(source);
    graph::Trace own = makeTrace(plot::kRed, 2, true, true);
    std::mt19937_64 rng(9);
    std::normal_distribution<double> noise(0, 10'000);
    std::int64_t ms = 86'400'000;
    const std::size_t n = 2 * PointArray::kBlockSize + 5000;
    for (std::size_t i = 0; i < n; ++i) {
        ms += 36 + (i % 997 == 0 ? 5000 : 0);
        const bool wide = i / PointArray::kBlockSize == 1;
        const auto microTick = static_cast<std::int32_t>(std::lround(noise(rng)));
        const double y = MillisecondSource::valueOf(microTick);
        source->add(ms, microTick, wide);
        own.points.add({(static_cast<double>(ms) + (wide ? 0.25 : 0)) / 1000, y});
        if (i % 20'000 == 7) {
            followed.points.follow();
            followed.points.breakLine();
            own.points.breakLine();
        }
    }
    followed.points.follow();
    ASSERT_EQ(followed.points.size(), n);
    EXPECT_EQ(followed.points.breaks(), own.points.breaks());
    const Axes axes{86'400, 86'400 + 36e-3 * n * 1.2, 1e7 - 0.05, 1e7 + 0.05};
    for (const bool fast : {false, true}) {
        bool usedFast = false;
        const QImage a = draw({followed}, axes, {1, 1, 8}, fast, usedFast);
        const QImage b = draw({own}, axes, {1, 1, 8}, fast, usedFast);
        EXPECT_EQ(usedFast, fast);
        EXPECT_TRUE(a == b) << (fast ? "fast path" : "per-point path");
    }
    expectSamePicture({followed}, axes, {1, 1, 8});
}

} // namespace

} // namespace graph
