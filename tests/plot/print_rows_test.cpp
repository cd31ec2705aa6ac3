// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/print_rows.h"
#include "tests/plot/fake_print_target.h"

#include <QImage>
#include <gtest/gtest.h>

#include <vector>

namespace plot {

namespace {

using Block = FakePrintTarget::Block;

QImage filledPicture(int width, int height, QRgb fill) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(fill);
    return picture;
}

TEST(PrintPictureRow, OneBlockPerRunOfEqualPixelsInCanvasColours) {
    // white, red, red, blue, white, grey, grey, grey
    QImage picture = filledPicture(8, 2, qRgb(255, 255, 255));
    picture.setPixel(1, 1, qRgb(255, 0, 0));
    picture.setPixel(2, 1, qRgb(255, 0, 0));
    picture.setPixel(3, 1, qRgb(0, 0, 255));
    for (int x = 5; x < 8; ++x) {
        picture.setPixel(x, 1, qRgb(0xF0, 0xF0, 0xF0));
    }
    FakePrintTarget printer(4800, 6800);
    const PrintLayout layout{4, 10, 20};
    ASSERT_TRUE(printPictureRow(picture, 1, layout, printer));
    // Blocks are shifted up and left by half a cell: x * 4 + 10 - 2, y * 4 + 20 - 2.
    const std::vector<Block> expected = {
        {{12, 22, 20, 26}, 0x0000FF},
        {{20, 22, 24, 26}, 0xFF0000},
        {{28, 22, 40, 26}, 0xF0F0F0},
    };
    EXPECT_EQ(printer.blocks, expected);
}

TEST(PrintPictureRow, WhitePrintsNothingAndAWholeColouredRowIsOneBlock) {
    FakePrintTarget printer(4800, 6800);
    ASSERT_TRUE(printPictureRow(filledPicture(50, 3, qRgb(255, 255, 255)), 2, {5, 0, 0}, printer));
    EXPECT_TRUE(printer.blocks.empty());

    ASSERT_TRUE(printPictureRow(filledPicture(50, 3, qRgb(0, 128, 0)), 2, {5, 0, 0}, printer));
    const std::vector<Block> expected = {{{-2, 8, 248, 13}, 0x008000}};
    EXPECT_EQ(printer.blocks, expected);
}

TEST(PrintPictureRow, RowsWiderThanTheLongestPrintRowFail) {
    FakePrintTarget printer(4800, 6800);
    EXPECT_TRUE(
        printPictureRow(filledPicture(kLongestPrintRow, 1, qRgb(0, 0, 0)), 0, {1, 0, 0}, printer));
    EXPECT_FALSE(printPictureRow(filledPicture(kLongestPrintRow + 1, 1, qRgb(0, 0, 0)), 0,
                                 {1, 0, 0}, printer));
}

TEST(PrintPicture, EveryRowInOrderInOneDocument) {
    QImage picture = filledPicture(3, 3, qRgb(255, 255, 255));
    picture.setPixel(0, 0, qRgb(1, 2, 3));
    picture.setPixel(2, 2, qRgb(4, 5, 6));
    FakePrintTarget printer(4800, 6800);
    std::vector<int> rows;
    ASSERT_TRUE(printPicture(picture, {2, 0, 0}, printer, [&](int y) { rows.push_back(y); }));
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2}));
    const std::vector<Block> expected = {{{-1, -1, 1, 1}, 0x030201}, {{3, 3, 5, 5}, 0x060504}};
    EXPECT_EQ(printer.blocks, expected);
    EXPECT_EQ(printer.begun, 1);
    EXPECT_EQ(printer.ended, 1);
    EXPECT_EQ(printer.aborted, 0);
}

TEST(PrintPicture, FailuresDropTheDocument) {
    FakePrintTarget refusing(4800, 6800);
    refusing.failBegin = true;
    EXPECT_FALSE(printPicture(filledPicture(4, 4, qRgb(0, 0, 0)), {1, 0, 0}, refusing, nullptr));
    EXPECT_TRUE(refusing.blocks.empty());

    FakePrintTarget breaking(4800, 6800);
    breaking.failAfterBlocks = 2;
    EXPECT_FALSE(printPicture(filledPicture(4, 4, qRgb(0, 0, 0)), {1, 0, 0}, breaking, nullptr));
    EXPECT_EQ(breaking.blocks.size(), 2u);
    EXPECT_EQ(breaking.ended, 0);
    EXPECT_EQ(breaking.aborted, 1);
}

} // namespace

} // namespace plot
