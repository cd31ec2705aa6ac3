// SPDX-License-Identifier: GPL-3.0-or-later
// The "Dynamic ADEV" page by its pixels: the colour bar, the captions, the columns as readings
// arrive; a hidden page that does nothing; the window the menu chooses.
#include "analysis/stability.h"
#include "app/dynamic_page.h"
#include "app/dynamic_plot.h"
#include "plot/canvas.h"
#include "plot/color_map.h"
#include "recording/reading_store.h"
#include "tests/support/menu_action.h"

#include <QAction>
#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// White frequency noise around 10 MHz, one reading a second.
std::vector<double> frequencies(int count) {
    std::mt19937_64 random(5);
    std::normal_distribution<double> noise(0.0, 0.01);
    std::vector<double> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(1e7 + noise(random));
    }
    return values;
}

plot::Color pixelAt(const QImage& image, int x, int y) {
    return plot::fromQRgb(image.pixel(x, y));
}

// Whether the picture holds `text` as the engine writes it: 12-pixel Arial in black, found as
// the exact pattern of its black pixels.
bool holdsText(const QImage& picture, const std::string& text) {
    plot::Canvas stamp(1, 1);
    stamp.font.size = 12;
    stamp.setSize(stamp.textWidth(text) + 2, stamp.textHeight(text) + 2);
    stamp.brush.color = plot::kWhite;
    stamp.fillRect(0, 0, stamp.width(), stamp.height());
    stamp.textOut(1, 1, text);
    std::vector<QPoint> ink;
    for (int y = 0; y < stamp.height(); ++y) {
        for (int x = 0; x < stamp.width(); ++x) {
            if (stamp.pixel(x, y) == plot::kBlack) {
                ink.push_back({x, y});
            }
        }
    }
    if (ink.empty()) {
        return false;
    }
    for (int y = 0; y + stamp.height() <= picture.height(); ++y) {
        for (int x = 0; x + stamp.width() <= picture.width(); ++x) {
            if (std::all_of(ink.begin(), ink.end(), [&](const QPoint& p) {
                    return pixelAt(picture, x + p.x(), y + p.y()) == plot::kBlack;
                })) {
                return true;
            }
        }
    }
    return false;
}

// Pixels of the plot's left three quarters (cells, not the colour bar) in colours of the map.
int cellPixels(const QImage& picture) {
    std::vector<plot::Color> mapColours;
    for (int i = 0; i <= 64; ++i) {
        mapColours.push_back(plot::colorMapColor(i / 64.0));
    }
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width() * 3 / 4; ++x) {
            const plot::Color c = pixelAt(picture, x, y);
            count += std::find(mapColours.begin(), mapColours.end(), c) != mapColours.end();
        }
    }
    return count;
}

class DynamicPageTest : public ::testing::Test {
protected:
    // Appended to the store the page follows, one by one as the window appends them.
    void feed(int count) {
        if (fed == 0) {
            page.follow(readings);
        }
        const std::vector<double> values = frequencies(count);
        for (int i = 0; i < count; ++i) {
            readings->append(1000.0 * (fed + i), values[static_cast<std::size_t>(i)],
                             analysis::Quantity::Frequency);
            page.readingsAdded();
        }
        fed += count;
    }
    void showPage() {
        page.resize(900, 420);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    }
    bool waitForAnalysed(std::size_t count) {
        return QTest::qWaitFor([&] { return page.analysedReadings() == count; }, 5000);
    }

    app::DynamicPage page;
    std::shared_ptr<recording::ReadingStore> readings = std::make_shared<recording::ReadingStore>();
    int fed = 0;
};

TEST_F(DynamicPageTest, ColumnsAppearAsReadingsArriveBesideTheColourBarAndCaptions) {
    showPage();
    feed(20); // less than a window
    ASSERT_TRUE(waitForAnalysed(20));
    EXPECT_TRUE(QTest::qWaitFor([&] { return holdsText(page.plot().picture(), "ADEV"); }, 5000));
    const QImage empty = page.plot().picture();
    EXPECT_EQ(cellPixels(empty), 0);
    EXPECT_EQ(page.shownColumns().size(), 0u);

    feed(600);
    ASSERT_TRUE(waitForAnalysed(620));
    EXPECT_TRUE(QTest::qWaitFor([&] { return cellPixels(page.plot().picture()) > 1000; }, 5000));
    const QImage picture = page.plot().picture();
    for (const std::string caption : {"window middle/min", "tau/s", "ADEV"}) {
        EXPECT_TRUE(holdsText(picture, caption)) << caption;
    }
    // The bar runs through the whole map, from its top end to its bottom end.
    int barEnds = 0;
    for (const double t : {0.0, 1.0}) {
        const plot::Color end = plot::colorMapColor(t);
        bool found = false;
        for (int y = 0; y < picture.height() && !found; ++y) {
            for (int x = picture.width() * 3 / 4; x < picture.width() && !found; ++x) {
                found = pixelAt(picture, x, y) == end;
            }
        }
        barEnds += found;
    }
    EXPECT_EQ(barEnds, 2);
    EXPECT_GE(page.shownColumns().size(), 100u);
}

TEST_F(DynamicPageTest, AHiddenPageOnlyKeepsTheReadingsAndCatchesUpWhenItShows) {
    feed(3000);
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(page.analysedReadings(), 0u);
    EXPECT_TRUE(page.shownColumns().empty());
    showPage();
    EXPECT_TRUE(waitForAnalysed(3000));
    EXPECT_EQ(page.shownColumns().size(), 101u);
}

// Window and step are shares of the run: the first column stands in the middle of the first
// window, which the menu makes a fifth of the run.
TEST_F(DynamicPageTest, TheMenuChoosesTheWindowAndTheStep) {
    showPage();
    feed(2000);
    ASSERT_TRUE(waitForAnalysed(2000));
    ASSERT_FALSE(page.shownColumns().empty());
    EXPECT_DOUBLE_EQ(page.shownColumns().front().timeMs, (0 + 199) * 1000.0 / 2);
    struct Choice {
        std::vector<std::string> entry;
        double firstMiddleMs;
        std::size_t columns;
    };
    const Choice choices[] = {
        {{"Window", "1/5 of the run"}, (0 + 399) * 1000.0 / 2, 101},
        {{"Step", "50 steps over the run"}, (0 + 399) * 1000.0 / 2, 51},
        {{"Window", "1/20 of the run"}, (0 + 99) * 1000.0 / 2, 51},
    };
    for (const Choice& choice : choices) {
        QAction* action = talvek::test::findMenuAction(page.menu(), choice.entry);
        ASSERT_NE(action, nullptr) << choice.entry.back();
        action->trigger();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return page.shownColumns().size() == choice.columns &&
                       page.shownColumns().front().timeMs == choice.firstMiddleMs;
            },
            5000))
            << choice.entry.back();
    }
}

} // namespace

namespace {

// A gap the recording knows of splits the windows as it splits the analysis, though the time
// stamps run on evenly: every column is the Allan deviation of its window with that gap.
TEST_F(DynamicPageTest, RecordedGapsSplitTheWindowsAsTheyDoTheAnalysis) {
    showPage();
    constexpr int kCount = 2000;
    const std::vector<double> values = frequencies(kCount);
    std::vector<analysis::Reading> series;
    page.follow(readings);
    for (int i = 0; i < kCount; ++i) {
        const bool gap = i > 0 && i % 50 == 0;
        if (gap) {
            readings->appendGap(
                {1000.0 * i - 500, 1000.0 * i, recording::GapCause::LostTelegrams, 0});
        }
        readings->append(1000.0 * i, values[static_cast<std::size_t>(i)],
                         analysis::Quantity::Frequency);
        series.push_back(
            {1000.0 * i, values[static_cast<std::size_t>(i)], analysis::Quantity::Frequency, gap});
    }
    page.readingsAdded();
    ASSERT_TRUE(waitForAnalysed(kCount));
    const auto& columns = page.shownColumns();
    ASSERT_GE(columns.size(), 2u);
    const auto window = static_cast<std::size_t>(2 * columns[0].timeMs / 1000 + 1);
    const auto step = static_cast<std::size_t>((columns[1].timeMs - columns[0].timeMs) / 1000);
    analysis::StabilityOptions options;
    options.kinds = {analysis::Deviation::Allan};
    for (std::size_t j = 0; j < columns.size(); j += 7) {
        const auto first = series.begin() + static_cast<std::ptrdiff_t>(j * step);
        const std::vector<analysis::Reading> part(first,
                                                  first + static_cast<std::ptrdiff_t>(window));
        const auto expected = analysis::analyzeReadings(part, options).points;
        ASSERT_EQ(columns[j].points.size(), expected.size()) << j;
        for (std::size_t p = 0; p < expected.size(); ++p) {
            EXPECT_EQ(columns[j].points[p].terms, expected[p].terms) << j;
            EXPECT_NEAR(columns[j].points[p].value, expected[p].value, 1e-9 * expected[p].value);
        }
    }
}

} // namespace
