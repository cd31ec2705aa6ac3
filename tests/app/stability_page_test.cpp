// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/deviation_table.h"
#include "analysis/stability.h"
#include "app/stability_page.h"
#include "app/stability_plot.h"
#include "tests/support/menu_action.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

// The page's first choice: the Allan deviation alone.
analysis::StabilityOptions allanOnly() {
    analysis::StabilityOptions options;
    options.kinds = {analysis::Deviation::Allan};
    return options;
}

using analysis::Deviation;

// White frequency noise around 10 MHz, one reading per 100 ms.
std::vector<analysis::Reading> whiteFrequencyReadings(int count) {
    std::mt19937_64 random(7);
    std::normal_distribution<double> noise(0.0, 0.01);
    std::vector<analysis::Reading> readings;
    for (int i = 0; i < count; ++i) {
        readings.push_back({100.0 * i, 1e7 + noise(random)});
    }
    return readings;
}

std::vector<std::vector<std::string>> tableCells(const QTableWidget& table) {
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        std::vector<std::string>& cells = rows.emplace_back();
        for (int column = 0; column < table.columnCount(); ++column) {
            cells.push_back(table.item(row, column)->text().toStdString());
        }
    }
    return rows;
}

std::vector<std::vector<std::string>> expectedCells(std::span<const analysis::Reading> readings,
                                                    const analysis::StabilityOptions& options) {
    std::vector<std::vector<std::string>> rows;
    for (const analysis::DeviationPoint& point : analyzeReadings(readings, options).points) {
        const analysis::DeviationCells cells = analysis::deviationCells(point);
        std::string name(analysis::shortName(point.kind));
        for (char& c : name) {
            c = static_cast<char>(std::toupper(c));
        }
        rows.push_back({name, cells.tau, cells.terms, cells.value, cells.lower, cells.upper});
    }
    return rows;
}

class StabilityPageTest : public ::testing::Test {
protected:
    StabilityPageTest() : page([this] { return zoom; }) {
        page.resize(1148, 520);
        page.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&page));
    }

    void feed(std::span<const analysis::Reading> readings) {
        for (const analysis::Reading& reading : readings) {
            page.addReading(reading.timeMs, reading.value, counter::Quantity::Frequency);
        }
    }
    void choose(const std::vector<std::string>& path) {
        QAction* action = talvek::test::findMenuAction(page.menu(), path);
        ASSERT_NE(action, nullptr);
        action->trigger();
    }
    // Waits for the page's next refresh.
    void waitForTable(int rows) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return page.table()->rowCount() == rows; }, 3000));
    }

    app::TimeSpan zoom;
    app::StabilityPage page;
};

// Each menu choice shows at once, and the table is then the analysis of the same readings with
// the options the choices add up to.
TEST_F(StabilityPageTest, TableIsTheAnalysisOfTheReadingsForEveryChoice) {
    const std::vector<analysis::Reading> readings = whiteFrequencyReadings(600);
    feed(readings);
    analysis::StabilityOptions options;
    options.kinds = {Deviation::Allan};
    waitForTable(static_cast<int>(analyzeReadings(readings, options).points.size()));
    EXPECT_EQ(tableCells(*page.table()), expectedCells(readings, options));

    struct Step {
        std::vector<std::string> entry;
        std::function<void(analysis::StabilityOptions&)> change;
    };
    const std::vector<Step> steps{
        {{"Deviations", "Modified Allan deviation"},
         [](auto& o) {
             o.kinds = {Deviation::Allan, Deviation::ModifiedAllan};
         }},
        {{"Deviations", "Time deviation"}, [](auto& o) { o.kinds.push_back(Deviation::Time); }},
        {{"Deviations", "Hadamard deviation"},
         [](auto& o) {
             o.kinds = {Deviation::Allan, Deviation::ModifiedAllan, Deviation::Hadamard,
                        Deviation::Time};
         }},
        {{"Deviations", "Allan deviation"}, [](auto& o) { o.kinds.erase(o.kinds.begin()); }},
        {{"Tau spacing", "1-2-5 per decade"},
         [](auto& o) { o.spacing = analysis::TauSpacing::OneTwoFive; }},
        {{"Remove drift"}, [](auto& o) { o.removeDrift = true; }},
        {{"Tau spacing", "Octave (1, 2, 4, 8, ...)"},
         [](auto& o) { o.spacing = analysis::TauSpacing::Octave; }},
    };
    auto shown = tableCells(*page.table());
    for (const Step& step : steps) {
        choose(step.entry);
        step.change(options);
        const auto now = tableCells(*page.table());
        EXPECT_EQ(now, expectedCells(readings, options)) << step.entry.back();
        EXPECT_NE(now, shown) << step.entry.back();
        shown = now;
    }
    EXPECT_NE(page.caption()->text().toStdString().find("(removed)"), std::string::npos);
}

TEST_F(StabilityPageTest, TooFewReadingsShowAnEmptyTableAndNoNaN) {
    const std::vector<analysis::Reading> three = whiteFrequencyReadings(3);
    for (std::size_t count = 0; count <= three.size(); ++count) {
        page.clear();
        feed(std::span(three).first(count));
        QTest::qWait(400);
        const std::string caption = page.caption()->text().toStdString();
        EXPECT_EQ(caption.find("nan"), std::string::npos) << caption;
        EXPECT_EQ(tableCells(*page.table()),
                  expectedCells(std::span(three).first(count), allanOnly()))
            << count;
    }
}

TEST_F(StabilityPageTest, CopyTablePutsTheTableTextOnTheClipboard) {
    const std::vector<analysis::Reading> readings = whiteFrequencyReadings(100);
    feed(readings);
    choose({"Deviations", "Time deviation"});
    choose({"Copy table"});
    analysis::StabilityOptions options;
    options.kinds = {Deviation::Allan, Deviation::Time};
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              analysis::deviationTable(analyzeReadings(readings, options).points));
}

TEST_F(StabilityPageTest, ZoomedSpanAnalysesOnlyTheReadingsTheGraphShows) {
    std::vector<analysis::Reading> readings = whiteFrequencyReadings(1000);
    // A step outside the zoom would dominate every deviation if it were counted.
    for (std::size_t i = 0; i < 300; ++i) {
        readings[i].value += 5;
    }
    feed(readings);
    zoom = {40.0, 80.05};
    choose({"Span", "Zoomed span of the graph"});
    const std::span<const analysis::Reading> zoomed = std::span(readings).subspan(400, 401);
    EXPECT_EQ(tableCells(*page.table()), expectedCells(zoomed, allanOnly()));
    EXPECT_EQ(page.shown().values, 401);
    choose({"Span", "Whole measurement"});
    EXPECT_EQ(page.shown().values, 1000);
}

// The intervals stand as vertical bars through the points, on logarithmic axes: octave taus lie
// equally far apart and each bar is as long as the logarithm of its bounds' ratio.
TEST_F(StabilityPageTest, BarsStandOnLogarithmicAxes) {
    const std::vector<analysis::Reading> readings = whiteFrequencyReadings(512);
    feed(readings);
    waitForTable(static_cast<int>(analyzeReadings(readings, allanOnly()).points.size()));
    page.plot().repaint();
    const QImage picture = page.plot().picture().convertToFormat(QImage::Format_RGB32);
    const QRgb red = qRgb(255, 0, 0);

    // The longest vertical run of the trace colour in each column.
    std::vector<int> runs(static_cast<std::size_t>(picture.width()), 0);
    for (int x = 0; x < picture.width(); ++x) {
        int run = 0;
        for (int y = 0; y < picture.height(); ++y) {
            run = picture.pixel(x, y) == red ? run + 1 : 0;
            runs[static_cast<std::size_t>(x)] = std::max(runs[static_cast<std::size_t>(x)], run);
        }
    }
    constexpr int kLongerThanSymbols = 24;
    std::vector<std::pair<int, int>> bars; // column, length
    for (int x = 0; x < picture.width(); ++x) {
        const int run = runs[static_cast<std::size_t>(x)];
        if (run > kLongerThanSymbols && (bars.empty() || bars.back().first < x - 1)) {
            bars.emplace_back(x, run);
        }
    }
    const std::vector<analysis::DeviationPoint>& points = page.shown().points;
    ASSERT_GE(bars.size(), 3u);
    ASSERT_LE(bars.size(), points.size());
    const std::size_t first = points.size() - bars.size(); // the short bars hide in the symbols
    const int step = bars[1].first - bars[0].first;
    for (std::size_t i = 1; i < bars.size(); ++i) {
        EXPECT_NEAR(bars[i].first - bars[i - 1].first, step, 1) << i;
        const auto logRatio = [&](std::size_t k) {
            return std::log(points[first + k].upper / points[first + k].lower);
        };
        EXPECT_NEAR(static_cast<double>(bars[i].second) / bars[0].second, logRatio(i) / logRatio(0),
                    0.15)
            << i;
    }
}

} // namespace
