// SPDX-License-Identifier: GPL-3.0-or-later
// talvek-cli stability --plot, run as a program without a display: the Stability page's picture
// of the same readings, several runs overlaid, SVG and PDF made of text and lines, and a file of
// the user's alone.
#include "cli_run.h"
#include "tests/analysis/reference_data.h"
#include "tests/support/menu_action.h"
#include "tests/support/program_run.h"

#include "app/stability_page.h"
#include "app/stability_plot.h"
#include "graph/stability_curves.h"
#include "graph/view_pictures.h"
#include "recording/reading_store.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace {

using cli_test::CliRun;
using talvek::test::runProgram;
using talvek::test::StartEnvironment;

std::string dataPath(const std::string& relative) {
    const char* source = std::getenv("TALVEK_SOURCE_DIR");
    return std::string(source ? source : ".") + "/tests/data/stability/" + relative;
}

// talvek-cli in an empty environment: no display, no platform named, no runtime folder.
CliRun runWithoutDisplay(const std::vector<std::string>& arguments) {
    return runProgram(TALVEK_CLI, arguments, {}, StartEnvironment::Empty);
}

void expectSucceeded(const CliRun& run) {
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

int pixelsOf(const QImage& picture, plot::Color colour) {
    const QImage image = rgb(picture);
    const QRgb wanted = plot::toQRgb(colour);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == wanted ? 1 : 0;
        }
    }
    return count;
}

// The share of pixels of `drawn` within 60 per channel of `reference`'s.
double likeness(const QImage& drawn, const QImage& reference) {
    const QImage a = rgb(drawn);
    const QImage b = rgb(reference);
    EXPECT_EQ(a.size(), b.size());
    int same = 0;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            same += std::abs(qRed(p) - qRed(q)) <= 60 && std::abs(qGreen(p) - qGreen(q)) <= 60 &&
                    std::abs(qBlue(p) - qBlue(q)) <= 60;
        }
    }
    return same / (static_cast<double>(b.width()) * b.height());
}

// The texts of the SVG's <text> elements; whether it is free of pixel pictures.
std::set<std::string> svgTexts(const QByteArray& svg, bool& shapesOnly) {
    std::set<std::string> texts;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text") {
            texts.insert(xml.readElementText(QXmlStreamReader::IncludeChildElements)
                             .simplified()
                             .toStdString());
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    shapesOnly = !svg.contains("<image");
    return texts;
}

QByteArray fileBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The PNG is the page's own picture of the same readings at the same size, both plots pixel for
// pixel: the screen's, and what "Save picture..." writes.
TEST(StabilityPlotCli, PngIsTheStabilityPagesPicture) {
    app::StabilityPage page([] { return app::TimeSpan{}; });
    page.resize(1148, 520);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    const auto store = std::make_shared<recording::ReadingStore>();
    for (const analysis::Reading& reading : analysis_test::readDat("series/wfm.dat")) {
        store->append(reading.timeMs, reading.value, analysis::Quantity::Frequency);
    }
    page.follow(store);
    talvek::test::findMenuAction(page.menu(), {"Deviations", "Time deviation"})->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.upToDate(); }, 20000));
    const std::vector<graph::PlotView*> plots{&page.fractionalPlot(), &page.secondsPlot()};
    const QSize size = graph::sizeOnScreen(plots);

    QTemporaryDir folder;
    const std::string png = folder.filePath("page.png").toStdString();
    const CliRun run = runWithoutDisplay(
        {"stability", dataPath("series/wfm.dat"), "--deviations", "adev,tdev", "--plot", png,
         "--size", std::to_string(size.width()) + "x" + std::to_string(size.height())});
    expectSucceeded(run);
    const QImage drawn = rgb(QImage(QString::fromStdString(png), "PNG"));
    ASSERT_EQ(drawn.size(), size);
    for (app::StabilityPlot* plot : {&page.fractionalPlot(), &page.secondsPlot()}) {
        plot->repaint();
        EXPECT_EQ(drawn.copy(plot->geometry()), rgb(plot->picture()));
    }
    QImage saved;
    ASSERT_TRUE(saved.loadFromData(
        graph::pictureBytes(graph::placeInPicture(plots, size), graph::PictureFormat::Png, size)));
    EXPECT_EQ(drawn, rgb(saved));
}

// Several runs share the plots, each in its colour, the legend naming run and deviation; the
// SVG and the PDF hold the captions and the legend as text and show the PNG's picture.
TEST(StabilityPlotCli, RunsOverlaidInEveryFormat) {
    QTemporaryDir folder;
    const auto path = [&](const char* name) { return folder.filePath(name).toStdString(); };
    const std::vector<std::string> runs{dataPath("series/wfm.dat"), dataPath("series/ffm.dat")};
    for (const char* name : {"runs.png", "runs.svg", "runs.pdf"}) {
        std::vector<std::string> arguments{"stability", "--csv"};
        arguments.insert(arguments.end(), runs.begin(), runs.end());
        arguments.insert(arguments.end(), {"--plot", path(name), "--size", "900x700"});
        const CliRun run = runWithoutDisplay(arguments);
        expectSucceeded(run);
        EXPECT_TRUE(run.out.starts_with("run,tau,")) << name;
    }
    const QImage png(QString::fromStdString(path("runs.png")), "PNG");
    ASSERT_EQ(png.size(), QSize(900, 700));
    EXPECT_GT(pixelsOf(png, graph::runColour(0)), 300);
    EXPECT_GT(pixelsOf(png, graph::runColour(1)), 300);

    bool shapesOnly = false;
    const std::set<std::string> texts = svgTexts(fileBytes(path("runs.svg")), shapesOnly);
    EXPECT_TRUE(shapesOnly);
    std::vector<std::string> wanted{"tau/s", "deviation (fractional)", "deviation/s"};
    for (const char* run : {"wfm.dat", "ffm.dat"}) {
        for (const char* deviation : {"ADEV", "MDEV", "HDEV", "TDEV"}) {
            wanted.push_back(std::string(run) + " " + deviation);
        }
    }
    for (const std::string& text : wanted) {
        EXPECT_TRUE(texts.contains(text)) << text;
    }

    const QByteArray pdf = fileBytes(path("runs.pdf"));
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    const CliRun pdfText = runProgram("/usr/bin/pdftotext", {path("runs.pdf"), "-"});
    ASSERT_EQ(pdfText.exitCode, 0) << pdfText.err;
    for (const std::string& text : wanted) {
        EXPECT_NE(pdfText.out.find(text), std::string::npos) << text;
    }
    const CliRun pdfPicture = runProgram(
        "/usr/bin/pdftoppm", {"-r", "96", "-png", "-singlefile", path("runs.pdf"), path("pdf")});
    ASSERT_EQ(pdfPicture.exitCode, 0) << pdfPicture.err;
    const QImage fromPdf(QString::fromStdString(path("pdf.png")), "PNG");
    ASSERT_FALSE(fromPdf.isNull());
    EXPECT_GT(likeness(fromPdf.scaled(png.size()), png), 0.95);
}

// The picture replaces what stood at its name, a link too (never followed), as a file of the
// user's alone.
TEST(StabilityPlotCli, ThePictureIsTheUsersAloneAndReplacesALink) {
    namespace fs = std::filesystem;
    QTemporaryDir folder;
    const fs::path other = folder.filePath("other.txt").toStdString();
    const fs::path picture = folder.filePath("picture.svg").toStdString();
    std::ofstream(other) << "someone else's";
    fs::create_symlink(other, picture);
    const CliRun run =
        runWithoutDisplay({"stability", dataPath("series/wfm.dat"), "--plot", picture.string()});
    expectSucceeded(run);
    EXPECT_FALSE(fs::is_symlink(picture));
    EXPECT_EQ(fs::status(picture).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(fileBytes(picture.string()).contains("<svg"));
    EXPECT_EQ(fileBytes(other.string()), "someone else's");
}

} // namespace
