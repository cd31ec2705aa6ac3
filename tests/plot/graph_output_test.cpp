#include "tests/plot/drawn_frame.h"
#include "tests/plot/fake_print_target.h"

#include <QClipboard>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

class GraphOutput : public ::testing::Test {
protected:
    void SetUp() override {
        frame =
            std::make_unique<DrawnFrame>(DrawnFrame::Layout{20, 90, 10, 80, 0, 0, true, clBtnFace});
        frame->Printer = [this] { return std::make_unique<SharedPrintTarget>(printer); };
    }

    // What each print brackets with: hourglass first, default cursor last.
    void ExpectHourglassAround() const {
        ASSERT_GE(frame->Cursors.size(), 2u);
        EXPECT_EQ(frame->Cursors[frame->Cursors.size() - 2], TScreenCursor::HourGlass);
        EXPECT_EQ(frame->Cursors.back(), TScreenCursor::Default);
    }

    std::unique_ptr<DrawnFrame> frame;
    FakePrintTarget printer{4800, 6800};
};

TEST_F(GraphOutput, ClipboardGetsThePictureExactly) {
    QGuiApplication::clipboard()->clear();
    frame->Engine.copyToClipboard();
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(1122, 476));
    EXPECT_EQ(DifferingPixels(copied.convertToFormat(QImage::Format_RGB32), frame->Picture()), 0);
    ExpectHourglassAround();
}

TEST_F(GraphOutput, PrintsTheScreenPictureAsFiveByFiveBlocksCentredOnTheLandscapePage) {
    const QImage before = frame->Picture();
    frame->Engine.print(false, 0, 0);
    EXPECT_EQ(frame->Beeps, 0);
    EXPECT_EQ(printer.Orientation, PrintOrientation::Landscape);
    EXPECT_EQ(printer.Begun, 1);
    EXPECT_EQ(printer.Ended, 1);
    ASSERT_FALSE(printer.Blocks.empty());
    ExpectHourglassAround();
    EXPECT_EQ(DifferingPixels(before, frame->Picture()), 0);

    // Every printed block is a run of one row: 5 printer pixels high, placed by the centred
    // layout (offsets 595, 1210, shifted back by half a cell), in the picture's colour.
    std::set<int> rows;
    for (const auto& block : printer.Blocks) {
        ASSERT_EQ(block.Rect.Bottom - block.Rect.Top, 5);
        ASSERT_EQ((block.Rect.Left - 595 + 2) % 5, 0);
        const int x = (block.Rect.Left - 595 + 2) / 5;
        const int y = (block.Rect.Top - 1210 + 2) / 5;
        ASSERT_EQ(FromQRgb(before.pixel(x, y)), block.Colour) << x << ", " << y;
        rows.insert(y);
    }
    // The button-face background prints, so every row of the picture is on paper.
    EXPECT_EQ(rows.size(), 476u);
    EXPECT_EQ(printer.Blocks.front().Rect, (PrintRect{593, 1208, 593 + 5 * 1122, 1213}));
    EXPECT_EQ(printer.Blocks.front().Colour, clBlack); // the frame's top row
}

TEST_F(GraphOutput, FailuresBeepAndPrintNothing) {
    FakePrintTarget noPage(0, 0);
    frame->Printer = [&] { return std::make_unique<SharedPrintTarget>(noPage); };
    frame->Engine.print(false, 0, 0);
    EXPECT_EQ(frame->Beeps, 1);
    EXPECT_EQ(noPage.Begun, 0);
    ExpectHourglassAround();

    frame->Printer = nullptr;
    frame->Engine.print(false, 0, 0);
    EXPECT_EQ(frame->Beeps, 2);

    FakePrintTarget breaking(4800, 6800);
    breaking.FailAfterBlocks = 10;
    frame->Printer = [&] { return std::make_unique<SharedPrintTarget>(breaking); };
    const QImage before = frame->Picture();
    frame->Engine.print(true, 0, 0);
    EXPECT_EQ(frame->Beeps, 3);
    EXPECT_EQ(breaking.Ended, 0);
    EXPECT_EQ(breaking.Aborted, 1);
    EXPECT_EQ(DifferingPixels(before, frame->Picture()), 0);
    ExpectHourglassAround();
}

// Shows the screen row that is printing: with restore it is inverted while it prints.
class ProgressWatcher : public FakePrintTarget {
public:
    ProgressWatcher(const Canvas& canvas, QImage original)
        : FakePrintTarget(4800, 6800), canvas_(canvas), original_(std::move(original)) {}
    bool FillRect(const PrintRect& rect, TColor colour) override {
        const int y = (rect.Top - PrintOffsetY + 2) / 5;
        const QRgb shown = canvas_.Image().pixel(0, y) & 0xFFFFFF;
        const QRgb was = original_.pixel(0, y) & 0xFFFFFF;
        InvertedRows += shown == (was ^ 0xFFFFFF) ? 1 : 0;
        return FakePrintTarget::FillRect(rect, colour);
    }
    int PrintOffsetY = 1210;
    int InvertedRows = 0;

private:
    const Canvas& canvas_;
    QImage original_;
};

TEST_F(GraphOutput, RestoreMarksTheRowsAndPutsThePictureBack) {
    const QImage before = frame->Picture();
    ProgressWatcher watcher(frame->EngineCanvas(), before);
    frame->Printer = [&] { return std::make_unique<SharedPrintTarget>(watcher); };
    frame->Engine.print(true, 0, 0);
    EXPECT_EQ(frame->Beeps, 0);
    EXPECT_EQ(watcher.InvertedRows, static_cast<int>(watcher.Blocks.size()));
    EXPECT_EQ(DifferingPixels(before, frame->Picture()), 0);

    ProgressWatcher plain(frame->EngineCanvas(), before);
    frame->Printer = [&] { return std::make_unique<SharedPrintTarget>(plain); };
    frame->Engine.print(false, 0, 0);
    EXPECT_EQ(plain.InvertedRows, 0);
}

} // namespace
