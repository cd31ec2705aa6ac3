// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/print_layout.h"
#include "plot/print_rows.h"
#include "plot/qt_print_target.h"
#include "tests/plot/drawn_frame.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace plot {

namespace {

TEST(QtPrintTarget, PrintsAPictureIntoAPdfFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("graph.pdf");
    QtPrintTarget printer(file);

    printer.setOrientation(PrintOrientation::Portrait);
    const int portraitWidth = printer.pageWidth();
    const int portraitHeight = printer.pageHeight();
    ASSERT_GT(portraitWidth, 0);
    EXPECT_GT(portraitHeight, portraitWidth);
    printer.setOrientation(PrintOrientation::Landscape);
    EXPECT_GT(printer.pageWidth(), printer.pageHeight());

    QImage picture(112, 47, QImage::Format_RGB32);
    picture.fill(qRgb(255, 255, 255));
    picture.setPixel(10, 10, qRgb(255, 0, 0));
    const PrintLayout layout = layOutPrint(printer, picture.width(), picture.height(), 0, 0);
    ASSERT_GT(layout.cellSize, 0);
    ASSERT_TRUE(printPicture(picture, layout, printer, nullptr));

    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));
    EXPECT_GT(pdf.size(), 200);
}

TEST(QtPrintTarget, PrintGraphWritesTheDrawnFrameToPaper) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("frame.pdf");
    DrawnFrame frame;
    frame.printer = [&] { return std::make_unique<QtPrintTarget>(file); };
    frame.engine.print(false, 0, 0);
    EXPECT_EQ(frame.beeps, 0);
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));
}

} // namespace

} // namespace plot
