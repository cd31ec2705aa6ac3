// SPDX-License-Identifier: GPL-3.0-or-later
// The window on every desktop: a dark theme, the keyboard alone, a small screen.
#include "tests/app/window_fixture.h"

#include "app/log_view.h"
#include "app/stability_page.h"
#include "portselect/port_selector.h"
#include "tests/support/dark_palette.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

double luminance(QRgb pixel) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) +
           0.0722 * linear(qBlue(pixel));
}

double contrast(QRgb a, QRgb b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The background of a picture of text (its commonest colour) and the text's own colour: of all
// pixels the one that stands out most, since anti-aliased edges lie between the two.
std::pair<QRgb, QRgb> groundAndText(const QImage& picture) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            ++counts[picture.pixel(x, y) | 0xFF000000];
        }
    }
    const auto ground = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                            return a.second < b.second;
                        })->first;
    QRgb text = ground;
    for (const auto& [colour, count] : counts) {
        if (contrast(colour, ground) > contrast(text, ground)) {
            text = colour;
        }
    }
    return {ground, text};
}

using WindowDesktopTest = WindowTest;

// The light look stays as it was; under a dark palette every text reads.
TEST_F(WindowDesktopTest, EveryTextReadsOnADarkPaletteAndTheLightLookStays) {
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        const QPalette light = QApplication::palette();
        const QString lightStyle = QApplication::style()->name();
        if (dark) {
            talvek::test::useDarkFusionPalette(*qApp);
        }
        app::MainWindow& form = open();
        connectCounter();
        sendReading("10000000.5", 1);
        scriptedCounter.send("OK");
        ASSERT_TRUE(waitFor([&] { return form.commandsPage().replyList()->count() == 1; }));
        const struct {
            const char* name;
            QWidget* page;
            QWidget* text;
        } shown[] = {
            {"log", &form.connectPage(), form.connectPage().logView()->viewport()},
            {"replies", &form.commandsPage(), form.commandsPage().replyList()->viewport()},
            {"display", &form.displayPage(), form.displayPage().readingLabel()},
        };
        for (const auto& s : shown) {
            form.pages()->setCurrentWidget(s.page);
            QCoreApplication::processEvents();
            const auto [ground, text] = groundAndText(s.text->grab().toImage());
            EXPECT_GE(contrast(ground, text), 4.5) << s.name;
            if (!dark) {
                EXPECT_EQ(text, qRgb(0, 0, 255)) << s.name << ": the light look keeps its blue";
            }
        }
        window.reset();
        if (dark) {
            QApplication::setStyle(lightStyle);
            QApplication::setPalette(light);
        }
    }
}

TEST_F(WindowDesktopTest, KeysTurnThePagesSaveOpenAndClose) {
    app::MainWindow& form = open();
    QTabWidget& pages = *form.pages();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;
    } turns[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, 2},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 1},
        {Qt::Key_PageUp, Qt::ControlModifier, 0},
        {Qt::Key_PageUp, Qt::ControlModifier, 5}, // round to the last page
        {Qt::Key_Tab, Qt::ControlModifier, 0},
    };
    for (const auto& turn : turns) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &form, turn.key,
                        turn.modifiers);
        EXPECT_EQ(pages.currentIndex(), turn.page) << turn.key;
    }
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs->saveDialogs, 1);
    QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs->lastFilter.rfind("measurement", 0), 0u) << dialogs->lastFilter;

    connectCounter();
    QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(form.isVisible()) << "a close while connected disconnects first";
    EXPECT_EQ(form.statusText(), "Serial connection closed. Try to close window again!");
    QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(WindowDesktopTest, TheFocusedControlShowsItsFocus) {
    app::MainWindow& form = open();
    QApplication::setActiveWindow(&form);
    // The keyboard moves the focus from one control to the next; each shows that it has it.
    for (int turn = 0; turn < 6; ++turn) {
        QWidget* before = QApplication::focusWidget();
        QTest::keyClick(before ? before : &form, Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_TRUE(focused);
        const QImage withFocus = focused->grab().toImage();
        focused->clearFocus();
        const QImage without = focused->grab().toImage();
        focused->setFocus(Qt::TabFocusReason);
        EXPECT_NE(withFocus, without) << focused->metaObject()->className();
    }
}

// At 760 x 380 the port list ends inside the page and the table needs no horizontal scrolling.
TEST_F(WindowDesktopTest, ASmallWindowFitsThePortListAndTheStabilityTable) {
    app::MainWindow& form = open();
    connectCounter();
    for (int i = 0; i < 40; ++i) {
        nowMs += 100;
        sendReading(std::to_string(10000000 + i % 3), i + 1);
    }
    form.resize(760, 380);
    for (QWidget* page : {static_cast<QWidget*>(&form.connectPage()),
                          static_cast<QWidget*>(&form.stabilityPage())}) {
        form.pages()->setCurrentWidget(page);
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.stabilityPage().upToDate(); }));
    const QWidget& selector = *form.connectPage().portSelector();
    EXPECT_LE(selector.geometry().right(), form.connectPage().width() - 1);
    const QTableWidget& table = *form.stabilityPage().table();
    ASSERT_GT(table.rowCount(), 0);
    EXPECT_FALSE(table.horizontalScrollBar()->isVisible());
}

} // namespace
