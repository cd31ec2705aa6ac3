// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures to keep: the PNG is the screen's picture; the SVG and the PDF are lines and text that
// show the same picture when drawn (by QtSvg, by poppler's pdftoppm).

#include "graph/picture_output.h"
#include "graph/view_pictures.h"
#include "graph/xy_plot.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QXmlStreamReader>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr QSize kScreenSize(640, 360);

class PictureOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        graph::AxisSettings x = plot.xAxis();
        x.caption = "Time/s";
        plot.setXAxis(x);
        graph::AxisSettings left = plot.leftAxis();
        left.caption = "Frequency/Hz";
        plot.setLeftAxis(left);
        plot.setXGridOn(true);
        const int trace = plot.addTrace(false, {});
        plot.traces()[trace].colour = plot::kRed;
        plot.traces()[trace].symbolOn = false;
        for (int i = 0; i < 400; ++i) {
            plot.addPoint(trace, i * 0.25, 10e6 + 3 * std::sin(i * 0.05));
        }
        plot.resize(kScreenSize);
        plot.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
        ASSERT_TRUE(QTest::qWaitFor([this] { return !plot.repaintPending(); }, 2000));
        QCoreApplication::processEvents();
        screen = plot.picture().convertToFormat(QImage::Format_RGB32);
    }

    // The share of pixels of `drawn` within `tolerance` (per channel) of the screen's, and the
    // share of the screen's trace pixels (pure red) that are reddish in `drawn` or beside it.
    struct Likeness {
        double samePixels;
        double traceFound;
    };
    Likeness likeness(const QImage& drawn, int tolerance) const {
        const QImage other = drawn.convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(other.size(), screen.size());
        int same = 0;
        int trace = 0;
        int traceFound = 0;
        const auto reddish = [&other](int x, int y) {
            const QRgb p = other.pixel(std::clamp(x, 0, other.width() - 1),
                                       std::clamp(y, 0, other.height() - 1));
            return qRed(p) > 150 && qGreen(p) < 140 && qBlue(p) < 140;
        };
        for (int y = 0; y < screen.height(); ++y) {
            for (int x = 0; x < screen.width(); ++x) {
                const QRgb a = screen.pixel(x, y);
                const QRgb b = other.pixel(x, y);
                same += std::abs(qRed(a) - qRed(b)) <= tolerance &&
                        std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
                        std::abs(qBlue(a) - qBlue(b)) <= tolerance;
                if (a == qRgb(255, 0, 0)) {
                    ++trace;
                    traceFound += reddish(x, y) || reddish(x + 1, y) || reddish(x - 1, y) ||
                                  reddish(x, y + 1) || reddish(x, y - 1);
                }
            }
        }
        const double pixels = static_cast<double>(screen.width()) * screen.height();
        EXPECT_GT(trace, 300); // the trace is there to be found
        return {same / pixels, trace == 0 ? 0 : traceFound / static_cast<double>(trace)};
    }

    graph::XyPlot plot;
    QImage screen;
};

TEST_F(PictureOutputTest, PngIsTheScreensPictureAtAnySize) {
    QImage png;
    ASSERT_TRUE(
        png.loadFromData(graph::pictureBytes(plot, graph::PictureFormat::Png, kScreenSize), "PNG"));
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), screen);
    // Drawing aside leaves the screen's picture as it was.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !plot.repaintPending(); }, 2000));
    EXPECT_EQ(plot.picture().convertToFormat(QImage::Format_RGB32), screen);

    ASSERT_TRUE(png.loadFromData(
        graph::pictureBytes(plot, graph::PictureFormat::Png, QSize(1200, 800)), "PNG"));
    EXPECT_EQ(png.size(), QSize(1200, 800));
}

TEST_F(PictureOutputTest, SvgHoldsTheCaptionsAsTextAndDrawsTheScreensPicture) {
    const QByteArray svg = graph::pictureBytes(plot, graph::PictureFormat::Svg, kScreenSize);
    std::set<std::string> texts;
    int lines = 0;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == QLatin1String("text")) {
            texts.insert(xml.readElementText(QXmlStreamReader::IncludeChildElements)
                             .simplified()
                             .toStdString());
        }
        lines += xml.name() == QLatin1String("polyline") || xml.name() == QLatin1String("path");
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(texts.count("Time/s")) << svg.size();
    EXPECT_TRUE(texts.count("Frequency/Hz"));
    EXPECT_GT(lines, 0);
    // No pixel picture inside: it is made of shapes.
    EXPECT_EQ(svg.indexOf("<image"), -1);

    QSvgRenderer renderer(svg);
    ASSERT_TRUE(renderer.isValid());
    QImage drawn(kScreenSize, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    renderer.render(&painter);
    painter.end();
    const Likeness like = likeness(drawn, 60);
    EXPECT_GT(like.samePixels, 0.97);
    EXPECT_GT(like.traceFound, 0.97);
}

TEST_F(PictureOutputTest, PdfDrawsTheScreensPicture) {
    const QByteArray pdf = graph::pictureBytes(plot, graph::PictureFormat::Pdf, kScreenSize);
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    QTemporaryDir dir;
    QFile file(dir.filePath("graph.pdf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pdf);
    file.close();
    QProcess pdftoppm;
    pdftoppm.start("pdftoppm",
                   {"-r", "96", "-png", "-singlefile", file.fileName(), dir.filePath("graph")});
    ASSERT_TRUE(pdftoppm.waitForFinished(30000));
    ASSERT_EQ(pdftoppm.exitCode(), 0) << pdftoppm.readAllStandardError().toStdString();
    QImage drawn(dir.filePath("graph.png"));
    ASSERT_FALSE(drawn.isNull());
    const Likeness like = likeness(drawn.scaled(kScreenSize), 60);
    EXPECT_GT(like.samePixels, 0.97);
    EXPECT_GT(like.traceFound, 0.97);
}

// Two controls one above the other make one picture, each part where it stands, scaled.
TEST_F(PictureOutputTest, PartsStandInThePictureAsOnTheScreen) {
    QWidget page;
    page.resize(400, 400);
    graph::XyPlot top(&page);
    graph::XyPlot bottom(&page);
    top.setGeometry(0, 0, 400, 250);
    bottom.setGeometry(0, 250, 400, 150);
    graph::AxisSettings x = bottom.xAxis();
    x.caption = "tau/s";
    bottom.setXAxis(x);
    const std::vector<graph::PlotView*> plots{&top, &bottom};
    EXPECT_EQ(graph::sizeOnScreen(plots), QSize(400, 400));
    const auto parts = graph::placeInPicture(plots, QSize(800, 800));
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].place, QRect(0, 0, 800, 500));
    EXPECT_EQ(parts[1].place, QRect(0, 500, 800, 300));
    QImage png;
    ASSERT_TRUE(png.loadFromData(
        graph::pictureBytes(parts, graph::PictureFormat::Png, QSize(800, 800)), "PNG"));
    png = png.convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(png.copy(parts[0].place),
              top.pictureAt(QSize(800, 500)).convertToFormat(png.format()));
    EXPECT_EQ(png.copy(parts[1].place),
              bottom.pictureAt(QSize(800, 300)).convertToFormat(png.format()));
}

TEST(PictureFormat, ByTheExtensionInAnyCase) {
    EXPECT_EQ(graph::pictureFormatOf("/a.b/graph.PNG"), graph::PictureFormat::Png);
    EXPECT_EQ(graph::pictureFormatOf("graph.svg"), graph::PictureFormat::Svg);
    EXPECT_EQ(graph::pictureFormatOf("graph.Pdf"), graph::PictureFormat::Pdf);
    EXPECT_FALSE(graph::pictureFormatOf("graph.jpg"));
    EXPECT_FALSE(graph::pictureFormatOf("svg"));
    EXPECT_FALSE(graph::pictureFormatOf("folder.png/graph"));
}

} // namespace
