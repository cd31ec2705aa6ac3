// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/deviation_table.h"
#include "analysis/number_text.h"
#include "analysis/span_statistics.h"
#include "analysis/stability.h"
#include "app/stability_page.h"
#include "app/stability_plot.h"
#include "graph/stability_curves.h"
#include "plot/canvas.h"
#include "recording/analysis_quantity.h"
#include "recording/reading_store.h"
#include "tests/support/menu_action.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {

using analysis::Deviation;

// The page's first choice: the Allan deviation alone.
analysis::StabilityOptions allanOnly() {
    analysis::StabilityOptions options;
    options.kinds = {Deviation::Allan};
    return options;
}

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

// Pixels of another colour than the top left one, the background: a text's ink.
int pixelsUnlikeTheFirst(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) != image.pixel(0, 0) ? 1 : 0;
        }
    }
    return count;
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
        const analysis::DeviationDescription& description =
            analysis::deviationDescription(point.kind);
        const bool seconds = description.unit == analysis::DeviationUnit::Seconds;
        rows.push_back({std::string(description.name), seconds ? "s" : "frac.", cells.tau,
                        cells.terms, cells.value, cells.lower, cells.upper});
    }
    return rows;
}

// The four entries users know keep their texts; the others read as their description.
std::string menuEntry(Deviation kind) {
    const std::map<Deviation, std::string> known{
        {Deviation::Allan, "Allan deviation"},
        {Deviation::ModifiedAllan, "Modified Allan deviation"},
        {Deviation::Hadamard, "Hadamard deviation"},
        {Deviation::Time, "Time deviation"}};
    const auto entry = known.find(kind);
    return entry != known.end() ? entry->second
                                : std::string(analysis::deviationDescription(kind).caption);
}

// Whether `text`, drawn in `font`, stands anywhere in the picture pixel for pixel.
bool showsText(const QImage& picture, const std::string& text, const plot::Font& font) {
    plot::Canvas probe(400, 60);
    probe.brush.color = plot::kWhite;
    probe.fillRect(0, 0, probe.width(), probe.height());
    probe.font = font;
    probe.textOut(0, 0, text);
    const QRgb ink = plot::toQRgb(font.color);
    std::vector<QPoint> glyphs;
    for (int y = 0; y < probe.height(); ++y) {
        for (int x = 0; x < probe.width(); ++x) {
            if (probe.image().pixel(x, y) == ink) {
                glyphs.emplace_back(x, y);
            }
        }
    }
    if (glyphs.empty()) {
        return false;
    }
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool all = std::ranges::all_of(glyphs, [&](QPoint p) {
                const QPoint at(x + p.x() - glyphs.front().x(), y + p.y() - glyphs.front().y());
                return image.valid(at) && image.pixel(at) == ink;
            });
            if (all) {
                return true;
            }
        }
    }
    return false;
}

int pixelsOf(const QImage& picture, plot::Color colour) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb wanted = plot::toQRgb(colour);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == wanted ? 1 : 0;
        }
    }
    return count;
}

class StabilityPageTest : public ::testing::Test {
protected:
    StabilityPageTest() : page([this] { return zoom; }) {
        page.resize(1148, 520);
        page.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&page));
    }

    // Appended to the store the page follows, one by one as the window appends them.
    void feed(app::StabilityPage& target, std::span<const analysis::Reading> readings,
              counter::Quantity quantity = counter::Quantity::Frequency) {
        std::shared_ptr<recording::ReadingStore>& store = stores[&target];
        if (!store) {
            store = std::make_shared<recording::ReadingStore>();
            target.follow(store);
        }
        for (const analysis::Reading& reading : readings) {
            store->append(reading.timeMs, reading.value, recording::analysisQuantity(quantity));
            target.readingsAdded();
        }
    }
    void feed(std::span<const analysis::Reading> readings) { feed(page, readings); }
    // No readings, as after a connect.
    void clear() {
        stores[&page] = std::make_shared<recording::ReadingStore>();
        page.follow(stores[&page]);
    }
    void choose(const std::vector<std::string>& path) {
        QAction* action = talvek::test::findMenuAction(page.menu(), path);
        ASSERT_NE(action, nullptr) << path.back();
        action->trigger();
    }
    // Until the page shows the analysis of all its readings with the current choices.
    void settle() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return page.upToDate(); }, 20000));
    }

    app::TimeSpan zoom;
    app::StabilityPage page;
    std::map<const app::StabilityPage*, std::shared_ptr<recording::ReadingStore>> stores;
};

// Each menu choice is analysed at once, and the table is then the analysis of the same readings
// with the options the choices add up to, each row with its deviation's unit.
TEST_F(StabilityPageTest, TableIsTheAnalysisOfTheReadingsForEveryChoice) {
    const std::vector<analysis::Reading> readings = whiteFrequencyReadings(600);
    feed(readings);
    settle();
    analysis::StabilityOptions options = allanOnly();
    EXPECT_EQ(tableCells(*page.table()), expectedCells(readings, options));

    struct Step {
        std::vector<std::string> entry;
        std::function<void(analysis::StabilityOptions&)> change;
    };
    const auto add = [](Deviation kind) {
        return [kind](analysis::StabilityOptions& o) {
            o.kinds.push_back(kind);
            std::ranges::sort(o.kinds);
        };
    };
    const std::vector<Step> steps{
        {{"Deviations", menuEntry(Deviation::ModifiedAllan)}, add(Deviation::ModifiedAllan)},
        {{"Deviations", menuEntry(Deviation::Time)}, add(Deviation::Time)},
        {{"Deviations", menuEntry(Deviation::Hadamard)}, add(Deviation::Hadamard)},
        {{"Deviations", menuEntry(Deviation::Allan)},
         [](auto& o) { o.kinds.erase(o.kinds.begin()); }},
        {{"Deviations", menuEntry(Deviation::Total)}, add(Deviation::Total)},
        {{"Deviations", menuEntry(Deviation::TimeTotal)}, add(Deviation::TimeTotal)},
        {{"Deviations", "Bias-corrected total deviations"},
         [](auto& o) { o.biasCorrected = true; }},
        {{"Deviations", menuEntry(Deviation::TheoH)}, add(Deviation::TheoH)},
        {{"Deviations", menuEntry(Deviation::Mtie)}, add(Deviation::Mtie)},
        {{"Deviations", menuEntry(Deviation::TieRms)}, add(Deviation::TieRms)},
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
        settle();
        const auto now = tableCells(*page.table());
        EXPECT_EQ(now, expectedCells(readings, options)) << step.entry.back();
        EXPECT_NE(now, shown) << step.entry.back();
        shown = now;
    }
    EXPECT_NE(page.caption()->text().toStdString().find("(removed)"), std::string::npos);
}

// The menu offers every deviation there is.
TEST_F(StabilityPageTest, TheMenuListsEveryDeviation) {
    for (const Deviation kind : analysis::allDeviations()) {
        EXPECT_NE(talvek::test::findMenuAction(page.menu(), {"Deviations", menuEntry(kind)}),
                  nullptr)
            << menuEntry(kind);
    }
}

TEST_F(StabilityPageTest, TooFewReadingsShowAnEmptyTableAndNoNaN) {
    const std::vector<analysis::Reading> three = whiteFrequencyReadings(3);
    for (std::size_t count = 0; count <= three.size(); ++count) {
        clear();
        feed(std::span(three).first(count));
        settle();
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
    choose({"Deviations", menuEntry(Deviation::Time)});
    settle();
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
    settle();
    const std::span<const analysis::Reading> zoomed = std::span(readings).subspan(400, 401);
    EXPECT_EQ(tableCells(*page.table()), expectedCells(zoomed, allanOnly()));
    EXPECT_EQ(page.shown().values, 401);
    choose({"Span", "Whole measurement"});
    settle();
    EXPECT_EQ(page.shown().values, 1000);
}

// Phase readings are counted as such, and their line gives the frequency offset beside the drift.
TEST_F(StabilityPageTest, TheCaptionSaysWhatItsFiguresAreForPhaseReadings) {
    std::vector<analysis::Reading> phase;
    std::mt19937_64 random(3);
    std::normal_distribution<double> noise(0.0, 1e-10);
    for (int i = 0; i < 500; ++i) {
        phase.push_back({1000.0 * i, 2e-9 * i + noise(random), analysis::Quantity::Phase});
    }
    feed(page, phase, counter::Quantity::Phase);
    settle();
    const std::string caption = page.caption()->text().toStdString();
    const analysis::SpanStatistics statistics = analysis::spanStatistics(phase);
    EXPECT_NEAR(statistics.frequencyOffset, 2e-9, 1e-11);
    for (const std::string& part :
         {std::string("500 phase readings, tau0 1 s."),
          "Frequency offset " + analysis::scientificText(statistics.frequencyOffset, 3),
          "drift " + analysis::scientificText(statistics.driftPerSecond, 3) + " /s."}) {
        EXPECT_NE(caption.find(part), std::string::npos) << caption << " / " << part;
    }
}

// Fractional deviations and those in seconds each have a plot of their own whose y caption names
// the unit, with a legend naming each curve in its colour; no curve strays into the other plot.
TEST_F(StabilityPageTest, EachUnitHasAPlotWithItsCaptionAndALegend) {
    feed(whiteFrequencyReadings(2000));
    for (const Deviation kind : {Deviation::ModifiedAllan, Deviation::Time, Deviation::Mtie}) {
        choose({"Deviations", menuEntry(kind)});
    }
    settle();
    struct Expected {
        app::StabilityPlot* plot;
        std::string caption;
        std::vector<Deviation> curves;
        std::vector<Deviation> absent;
    };
    const std::vector<Expected> plots{
        {&page.fractionalPlot(),
         "deviation (fractional)",
         {Deviation::Allan, Deviation::ModifiedAllan},
         {Deviation::Time, Deviation::Mtie}},
        {&page.secondsPlot(),
         "deviation/s",
         {Deviation::Time, Deviation::Mtie},
         {Deviation::Allan, Deviation::ModifiedAllan}},
    };
    for (const Expected& expected : plots) {
        ASSERT_TRUE(expected.plot->isVisible()) << expected.caption;
        expected.plot->repaint();
        const QImage& picture = expected.plot->picture();
        plot::Font axisFont = expected.plot->textFont();
        axisFont.color = expected.plot->look().leftAxis.colour;
        EXPECT_TRUE(showsText(picture, expected.caption, axisFont)) << expected.caption;
        EXPECT_FALSE(showsText(picture, "(TDEV/s)", axisFont));
        for (const Deviation kind : expected.curves) {
            const std::string name(analysis::deviationDescription(kind).name);
            EXPECT_TRUE(showsText(picture, name, expected.plot->textFont())) << name;
            EXPECT_GT(pixelsOf(picture, graph::curveStyle(kind).colour), 40) << name;
        }
        for (const Deviation kind : expected.absent) {
            EXPECT_EQ(pixelsOf(picture, graph::curveStyle(kind).colour), 0)
                << analysis::deviationDescription(kind).name << " in " << expected.caption;
        }
    }
    // Without a deviation in seconds that plot goes and the other takes its place.
    for (const Deviation kind : {Deviation::Time, Deviation::Mtie}) {
        choose({"Deviations", menuEntry(kind)});
    }
    settle();
    EXPECT_FALSE(page.secondsPlot().isVisible());
    EXPECT_GT(page.fractionalPlot().height(), page.height() * 3 / 4);
}

// A hidden page keeps its readings but starts no analysis; shown, it catches up with one.
TEST_F(StabilityPageTest, AHiddenPageRunsNoAnalysis) {
    const std::vector<analysis::Reading> readings = whiteFrequencyReadings(100'000);
    app::StabilityPage hidden([] { return app::TimeSpan{}; });
    hidden.resize(page.size());
    feed(hidden, readings);
    feed(readings);
    // The page that shows has had its refresh, so the hidden one would have had its own.
    settle();
    EXPECT_EQ(page.shown().values, 100'000);
    EXPECT_EQ(hidden.analysesStarted(), 0);
    EXPECT_EQ(hidden.table()->rowCount(), 0);
    hidden.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return hidden.upToDate(); }, 20000));
    EXPECT_EQ(hidden.analysesStarted(), 1);
    EXPECT_EQ(hidden.shown().values, 100'000);
}

// A long analysis shows its progress; a change of choice stops it, and what shows is the new
// choice, never the stopped one.
TEST_F(StabilityPageTest, AChangeStopsALongAnalysisWhichShowsItsProgress) {
    // Long enough that the analysis still runs when the progress is looked at.
    feed(whiteFrequencyReadings(1'000'000));
    settle();
    const int before = page.analysesStarted();
    bool theoShown = false;
    QObject::connect(&page, &app::StabilityPage::resultShown, [&] {
        theoShown = theoShown ||
                    std::ranges::any_of(page.shown().points, [](const analysis::DeviationPoint& p) {
                        return p.kind == Deviation::TheoBR;
                    });
    });
    choose({"Deviations", menuEntry(Deviation::TheoBR)});
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return page.progressText().endsWith(QStringLiteral(" %")); }, 20000));
    // The caption line on the screen, narrowed for the progress, is the caption drawn afresh;
    // the progress stands in the room at its right.
    QTest::qWait(50);
    QLabel& caption = *page.caption();
    const QImage window = page.screen()->grabWindow(page.winId()).toImage();
    EXPECT_EQ(window.copy(caption.geometry()).convertToFormat(QImage::Format_RGB32),
              caption.grab().toImage().convertToFormat(QImage::Format_RGB32));
    const QRect room(caption.geometry().right() + 1, caption.geometry().top(),
                     page.width() - caption.geometry().right() - 1, caption.height());
    EXPECT_GT(pixelsUnlikeTheFirst(window.copy(room)), 20) << "the progress is drawn";
    choose({"Deviations", menuEntry(Deviation::TheoBR)});
    settle();
    EXPECT_TRUE(page.progressText().isEmpty());
    EXPECT_EQ(page.analysesStarted(), before + 2);
    EXPECT_FALSE(theoShown);
    EXPECT_FALSE(page.shown().points.empty());
}

// The intervals stand as vertical bars through the points, on logarithmic axes: octave taus lie
// equally far apart and each bar is as long as the logarithm of its bounds' ratio.
TEST_F(StabilityPageTest, BarsStandOnLogarithmicAxes) {
    const std::vector<analysis::Reading> readings = whiteFrequencyReadings(512);
    feed(readings);
    settle();
    page.fractionalPlot().repaint();
    const QImage picture = page.fractionalPlot().picture().convertToFormat(QImage::Format_RGB32);
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

// The table's columns fit their texts after every result, also when a column's widest text grows
// or shrinks between results, as fitting them anew would make them.
TEST_F(StabilityPageTest, ColumnsFitTheirTextsAfterEveryResult) {
    const std::vector<analysis::Reading> readings = whiteFrequencyReadings(20'000);
    QTableWidget& table = *page.table();
    const auto widths = [&table] {
        std::vector<int> result;
        for (int column = 0; column < table.columnCount(); ++column) {
            result.push_back(table.columnWidth(column));
        }
        return result;
    };
    std::vector<std::vector<int>> seen;
    for (const std::size_t count : {std::size_t{4}, std::size_t{20'000}}) {
        clear();
        feed(std::span(readings).first(count));
        settle();
        for (const std::vector<std::string>& choice :
             {std::vector<std::string>{}, {"Deviations", menuEntry(Deviation::Time)}}) {
            if (!choice.empty()) {
                choose(choice);
                settle();
            }
            const std::vector<int> shown = widths();
            table.resizeColumnsToContents();
            EXPECT_EQ(shown, widths()) << count << " readings";
            seen.push_back(shown);
        }
    }
    // The texts did change widths: the fit had work to do.
    EXPECT_NE(seen.front(), seen.back());
}

// The table draws its numbers without the text shaper, which must leave every pixel as the
// style's own drawing would, names and numbers alike.
TEST_F(StabilityPageTest, TheTableLooksAsTheStyleDrawsIt) {
    feed(whiteFrequencyReadings(600));
    // Names whose letters the shaper kerns, in rows the table shows; Allan chosen away.
    for (const Deviation kind : {Deviation::Allan, Deviation::TimeTotal, Deviation::TieRms}) {
        choose({"Deviations", menuEntry(kind)});
    }
    settle();
    QTableWidget& table = *page.table();
    const QImage drawn = table.viewport()->grab().toImage();
    table.setItemDelegate(new QStyledItemDelegate(&table));
    EXPECT_EQ(drawn, table.viewport()->grab().toImage());
}
