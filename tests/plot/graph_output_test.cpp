// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/plot/drawn_frame.h"
#include "tests/plot/fake_print_target.h"

#include <QClipboard>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace plot {

namespace {

class GraphOutput : public ::testing::Test {
protected:
    void SetUp() override {
        frame = std::make_unique<DrawnFrame>(
            DrawnFrame::Layout{20, 90, 10, 80, 0, 0, true, kButtonFace});
        frame->printer = [this] { return std::make_unique<SharedPrintTarget>(printer); };
    }

    // What each print brackets with: hourglass first, default cursor last.
    void expectHourglassAround() const {
        ASSERT_GE(frame->cursors.size(), 2u);
        EXPECT_EQ(frame->cursors[frame->cursors.size() - 2], ScreenCursor::HourGlass);
        EXPECT_EQ(frame->cursors.back(), ScreenCursor::Default);
    }

    std::unique_ptr<DrawnFrame> frame;
    FakePrintTarget printer{4800, 6800};
};

TEST_F(GraphOutput, ClipboardGetsThePictureExactly) {
    QGuiApplication::clipboard()->clear();
    frame->engine.copyToClipboard();
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(1122, 476));
    EXPECT_EQ(differingPixels(copied.convertToFormat(QImage::Format_RGB32), frame->picture()), 0);
    expectHourglassAround();
}

TEST_F(GraphOutput, PrintsTheScreenPictureAsFiveByFiveBlocksCentredOnTheLandscapePage) {
    const QImage before = frame->picture();
    frame->engine.print(false, 0, 0);
    EXPECT_EQ(frame->beeps, 0);
    EXPECT_EQ(printer.orientation, PrintOrientation::Landscape);
    EXPECT_EQ(printer.begun, 1);
    EXPECT_EQ(printer.ended, 1);
    ASSERT_FALSE(printer.blocks.empty());
    expectHourglassAround();
    EXPECT_EQ(differingPixels(before, frame->picture()), 0);

    // Every printed block is a run of one row: 5 printer pixels high, placed by the centred
    // layout (offsets 595, 1210, shifted back by half a cell), in the picture's colour.
    std::set<int> rows;
    for (const auto& block : printer.blocks) {
        ASSERT_EQ(block.rect.bottom - block.rect.top, 5);
        ASSERT_EQ((block.rect.left - 595 + 2) % 5, 0);
        const int x = (block.rect.left - 595 + 2) / 5;
        const int y = (block.rect.top - 1210 + 2) / 5;
        ASSERT_EQ(fromQRgb(before.pixel(x, y)), block.colour) << x << ", " << y;
        rows.insert(y);
    }
    // The button-face background prints, so every row of the picture is on paper.
    EXPECT_EQ(rows.size(), 476u);
    EXPECT_EQ(printer.blocks.front().rect, (PrintRect{593, 1208, 593 + 5 * 1122, 1213}));
    EXPECT_EQ(printer.blocks.front().colour, kBlack); // the frame's top row
}

TEST_F(GraphOutput, FailuresBeepAndPrintNothing) {
    FakePrintTarget noPage(0, 0);
    frame->printer = [&] { return std::make_unique<SharedPrintTarget>(noPage); };
    frame->engine.print(false, 0, 0);
    EXPECT_EQ(frame->beeps, 1);
    EXPECT_EQ(noPage.begun, 0);
    expectHourglassAround();

    frame->printer = nullptr;
    frame->engine.print(false, 0, 0);
    EXPECT_EQ(frame->beeps, 2);

    FakePrintTarget breaking(4800, 6800);
    breaking.failAfterBlocks = 10;
    frame->printer = [&] { return std::make_unique<SharedPrintTarget>(breaking); };
    const QImage before = frame->picture();
    frame->engine.print(true, 0, 0);
    EXPECT_EQ(frame->beeps, 3);
    EXPECT_EQ(breaking.ended, 0);
    EXPECT_EQ(breaking.aborted, 1);
    EXPECT_EQ(differingPixels(before, frame->picture()), 0);
    expectHourglassAround();
}

// Shows the screen row that is printing: with restore it is inverted while it prints.
class ProgressWatcher : public FakePrintTarget {
public:
    ProgressWatcher(const Canvas& canvas, QImage original)
        : FakePrintTarget(4800, 6800), canvas_(canvas), original_(std::move(original)) {}
    bool fillRect(const PrintRect& rect, Color colour) override {
        const int y = (rect.top - printOffsetY + 2) / 5;
        const QRgb shown = canvas_.image().pixel(0, y) & 0xFFFFFF;
        const QRgb was = original_.pixel(0, y) & 0xFFFFFF;
        invertedRows += shown == (was ^ 0xFFFFFF) ? 1 : 0;
        return FakePrintTarget::fillRect(rect, colour);
    }
    int printOffsetY = 1210;
    int invertedRows = 0;

private:
    const Canvas& canvas_;
    QImage original_;
};

TEST_F(GraphOutput, RestoreMarksTheRowsAndPutsThePictureBack) {
    const QImage before = frame->picture();
    ProgressWatcher watcher(frame->engineCanvas(), before);
    frame->printer = [&] { return std::make_unique<SharedPrintTarget>(watcher); };
    frame->engine.print(true, 0, 0);
    EXPECT_EQ(frame->beeps, 0);
    EXPECT_EQ(watcher.invertedRows, static_cast<int>(watcher.blocks.size()));
    EXPECT_EQ(differingPixels(before, frame->picture()), 0);

    ProgressWatcher plain(frame->engineCanvas(), before);
    frame->printer = [&] { return std::make_unique<SharedPrintTarget>(plain); };
    frame->engine.print(false, 0, 0);
    EXPECT_EQ(plain.invertedRows, 0);
}

} // namespace

} // namespace plot
