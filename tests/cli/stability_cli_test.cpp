// SPDX-License-Identifier: GPL-3.0-or-later
// talvek-cli stability, run as a program: its CSV against allantools, the file formats it reads,
// its header and its failures.
#include "cli_run.h"
#include "tests/analysis/reference_data.h"
#include "tests/support/program_run.h"

#include "analysis/deviation_table.h"
#include "analysis/stability.h"
#include "recording/journal_encoder.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace {

using analysis_test::CsvRow;
using analysis_test::number;
using cli_test::CliRun;
using cli_test::runCli;

const std::vector<std::string> kSeries{"wpm", "fpm", "wfm", "ffm", "rwfm"};

std::string dataPath(const std::string& relative) {
    const char* source = std::getenv("TALVEK_SOURCE_DIR");
    return std::string(source ? source : ".") + "/tests/data/stability/" + relative;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void expectRelative(double actual, double expected, double tolerance, const std::string& what) {
    EXPECT_LE(std::fabs(actual - expected), tolerance * std::fabs(expected))
        << what << ": " << actual << " instead of " << expected;
}

void expectSucceeded(const CliRun& run) {
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), ::tolower);
    return text;
}

struct Reference {
    std::string series;
    std::vector<std::string> options;
    std::string expected;
};

TEST(StabilityCli, CsvMatchesAllantools) {
    std::vector<Reference> references;
    for (const std::string& name : kSeries) {
        references.push_back({name, {}, name + "_mean-nominal.csv"});
    }
    references.push_back(
        {"rwfm", {"--drift", "remove", "--nominal", "1e7"}, "rwfm_drift-removed.csv"});
    for (const Reference& reference : references) {
        SCOPED_TRACE(reference.expected);
        std::vector<std::string> arguments{
            "stability", dataPath("series/" + reference.series + ".dat"), "--csv"};
        arguments.insert(arguments.end(), reference.options.begin(), reference.options.end());
        const CliRun run = runCli(arguments);
        expectSucceeded(run);
        EXPECT_EQ(lines(run.out).front(), "tau,deviation,terms,value,lower,upper,noise");
        const auto rows = analysis_test::parseCsv(run.out);
        const auto expected = analysis_test::readCsv("expected/" + reference.expected);
        ASSERT_EQ(rows.size(), expected.size());
        // The expected bounds are for the series' generated noise type; ours are for the one the
        // data shows, which the analysis tells.
        analysis::StabilityOptions options;
        options.removeDrift = !reference.options.empty();
        options.nominalHz = reference.options.empty() ? std::nullopt : std::optional(1e7);
        const auto ours = analysis::analyzeReadings(
            analysis_test::readDat("series/" + reference.series + ".dat"), options);
        ASSERT_EQ(ours.points.size(), rows.size());
        std::size_t boundsCompared = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const CsvRow& row = rows[i];
            const CsvRow& want = expected[i];
            const std::string what = want.at("kind") + " tau " + want.at("tau");
            EXPECT_EQ(number(row, "tau"), number(want, "tau")) << what;
            EXPECT_EQ(row.at("deviation"), lowerCase(want.at("kind"))) << what;
            EXPECT_EQ(row.at("terms"), want.at("n")) << what;
            expectRelative(number(row, "value"), number(want, "dev"), 1e-9, what);
            EXPECT_EQ(row.at("noise"), analysis::noiseTypeName(ours.points[i].alpha)) << what;
            if (ours.points[i].alpha != number(want, "alpha")) {
                continue;
            }
            ++boundsCompared;
            EXPECT_EQ(row.at("lower").empty(), want.at("lo").empty()) << what;
            EXPECT_EQ(row.at("upper").empty(), want.at("hi").empty()) << what;
            if (!want.at("lo").empty() && !row.at("lower").empty()) {
                expectRelative(number(row, "lower"), number(want, "lo"), 0.01, what + " lower");
                expectRelative(number(row, "upper"), number(want, "hi"), 0.01, what + " upper");
            }
        }
        EXPECT_GE(boundsCompared, rows.size() / 3);
    }
}

struct Variant {
    std::string name;
    std::string fileName;
    std::string text;
    std::vector<std::pair<std::string, std::string>> environment;
    std::string warning; // part of the one line on standard error; empty for none
};

// wfm.dat written as the other files talvek-cli reads.
std::vector<Variant> variantsOfWfm() {
    std::ifstream in(dataPath("series/wfm.dat"), std::ios::binary);
    std::string oneColumn = "# wfm, 1 s apart\n";
    std::string timeValue = "time/s,frequency/Hz\r\n";
    std::string windowCsv;
    std::string withBadLine;
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        line.pop_back(); // CR
        withBadLine += line + (++lineNumber == 10 ? "\r\n10000000.5\r\n" : "\r\n");
        if (line.starts_with("/*")) {
            continue;
        }
        const std::string time = line.substr(0, line.find(' '));
        std::string value = line.substr(line.find(' ') + 1);
        oneColumn += value + '\n';
        timeValue += time.substr(0, time.size() - 3) + ", " + value + "\r\n";
        std::replace(value.begin(), value.end(), '.', ',');
        windowCsv += time + ';' + value + "\r\n";
    }
    const std::vector<std::pair<std::string, std::string>> german{{"LC_ALL", "de_DE.UTF-8"},
                                                                  {"LANG", "de_DE.UTF-8"}};
    return {
        {"one column", "wfm.txt", oneColumn, {}, ""},
        {"time in s, value",
         "wfm.txt",
         timeValue,
         {},
         "1 line is no reading and was left out, the first is line 1"},
        {"window csv, decimal comma", "wfm.csv", windowCsv, german, ""},
        {"window dat with a bad line", "wfm.dat", withBadLine, {}, "the first is line 11"},
    };
}

TEST(StabilityCli, SameReadingsInEveryFileFormatGiveTheSameCsv) {
    const CliRun reference = runCli({"stability", dataPath("series/wfm.dat"), "--csv"});
    expectSucceeded(reference);
    QTemporaryDir folder;
    for (const Variant& variant : variantsOfWfm()) {
        SCOPED_TRACE(variant.name);
        const std::string path =
            folder.filePath(QString::fromStdString(variant.fileName)).toStdString();
        writeFile(path, variant.text);
        const CliRun run = runCli({"stability", path, "--csv"}, variant.environment);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, reference.out);
        if (variant.warning.empty()) {
            EXPECT_EQ(run.err, "");
        } else {
            EXPECT_EQ(lines(run.err).size(), 1u) << run.err;
            EXPECT_NE(run.err.find("talvek-cli: warning: " + path + ": "), std::string::npos)
                << run.err;
            EXPECT_NE(run.err.find(variant.warning), std::string::npos) << run.err;
        }
    }
}

TEST(StabilityCli, OptionsSetTauZeroPeriodsDeviationsSpacingAndLevel) {
    const auto reference =
        analysis_test::parseCsv(runCli({"stability", dataPath("series/ffm.dat"), "--csv"}).out);
    QTemporaryDir folder;
    const std::string values = folder.filePath("values").toStdString();
    const std::string periods = folder.filePath("periods").toStdString();
    std::ostringstream valueText;
    std::ostringstream periodText;
    valueText.precision(17);
    periodText.precision(17);
    for (const auto& reading : analysis_test::readDat("series/ffm.dat")) {
        valueText << reading.value << '\n';
        periodText << reading.timeMs / 1000 << ' ' << 1 / reading.value << '\n';
    }
    writeFile(values, valueText.str());
    writeFile(periods, periodText.str());

    // Half the tau0: half the taus and TDEV; frequencies given as their periods: the same.
    const auto halved =
        analysis_test::parseCsv(runCli({"stability", values, "--tau0", "0,5", "--csv"}).out);
    const auto fromPeriods =
        analysis_test::parseCsv(runCli({"stability", periods, "--period", "--csv"}).out);
    ASSERT_EQ(halved.size(), reference.size());
    ASSERT_EQ(fromPeriods.size(), reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i) {
        const bool tdev = reference[i].at("deviation") == "tdev";
        EXPECT_EQ(number(halved[i], "tau"), number(reference[i], "tau") / 2);
        expectRelative(number(halved[i], "value"), number(reference[i], "value") / (tdev ? 2 : 1),
                       1e-12, "tau0 0.5");
        expectRelative(number(fromPeriods[i], "value"), number(reference[i], "value"), 1e-9,
                       "periods");
    }

    const CliRun chosen = runCli({"stability", dataPath("series/ffm.dat"), "--csv", "--deviations",
                                  "tdev,adev", "--spacing=125", "--confidence", "0.95"});
    expectSucceeded(chosen);
    const auto rows = analysis_test::parseCsv(chosen.out);
    const std::vector<double> taus{1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
    ASSERT_EQ(rows.size(), 2 * taus.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].at("deviation"), i < taus.size() ? "tdev" : "adev");
        EXPECT_EQ(number(rows[i], "tau"), taus[i % taus.size()]);
    }
    // At tau 1 s both deviations are the default's, their 95 % intervals wider than 1 sigma.
    for (const auto& [row, same] : {std::pair{rows[0], reference[33]}, {rows[10], reference[0]}}) {
        EXPECT_EQ(row.at("value"), same.at("value"));
        EXPECT_LT(number(row, "lower"), number(same, "lower"));
        EXPECT_GT(number(row, "upper"), number(same, "upper"));
    }
}

// The value after "Name" on the header line that starts with it.
std::string headerValue(const std::string& out, const std::string& name) {
    for (const std::string& line : lines(out)) {
        if (line.starts_with(name + "  ")) {
            return line.substr(line.find_first_not_of(' ', name.size()));
        }
    }
    return {};
}

double leadingNumber(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

TEST(StabilityCli, TableStatesTheReadingsTheirStatisticsAndEveryPoint) {
    const CliRun run =
        runCli({"stability", dataPath("series/wfm.dat"), "--nominal", "1e7", "--drift", "remove"});
    expectSucceeded(run);
    const auto summary = analysis_test::readCsv("expected/summary.csv")[2];
    ASSERT_EQ(summary.at("series"), "wfm");
    EXPECT_EQ(headerValue(run.out, "Readings"), "4096, 4096 usable, in 1 segment");
    EXPECT_EQ(headerValue(run.out, "tau0"), "1 s, from the time stamps");
    EXPECT_EQ(headerValue(run.out, "Nominal"), "10000000 Hz, as given");
    expectRelative(leadingNumber(headerValue(run.out, "Mean")), number(summary, "mean_hz"), 1e-14,
                   "mean");
    expectRelative(leadingNumber(headerValue(run.out, "Std dev")), number(summary, "std_hz"), 1e-5,
                   "std");
    expectRelative(leadingNumber(headerValue(run.out, "Minimum")), number(summary, "min_hz"), 1e-14,
                   "min");
    expectRelative(leadingNumber(headerValue(run.out, "Maximum")), number(summary, "max_hz"), 1e-14,
                   "max");
    const std::string drift = headerValue(run.out, "Drift");
    expectRelative(leadingNumber(drift), number(summary, "drift_per_s"), 1e-4, "drift");
    expectRelative(leadingNumber(drift.substr(drift.find('(') + 1)),
                   number(summary, "drift_hz_per_s"), 1e-4, "drift in Hz/s");
    EXPECT_TRUE(drift.ends_with("removed before the deviations")) << drift;
    // 4 deviations at 11 taus, each with the noise type of its interval.
    const auto table = lines(run.out);
    EXPECT_EQ(std::count_if(table.begin(), table.end(),
                            [](const std::string& line) {
                                return line.ends_with(" FM") || line.ends_with(" PM");
                            }),
              44);

    // Readings 101 .. 200 missing: a gap between two segments.
    QTemporaryDir folder;
    const std::string gap = folder.filePath("gap.dat").toStdString();
    std::ifstream in(dataPath("series/wfm.dat"), std::ios::binary);
    std::string text;
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        text += lineNumber > 103 && lineNumber <= 203 ? "" : line + '\n';
    }
    writeFile(gap, text);
    const CliRun withGap = runCli({"stability", gap});
    expectSucceeded(withGap);
    EXPECT_EQ(headerValue(withGap.out, "Readings"), "3996, 3996 usable, in 2 gap-free segments");
    EXPECT_TRUE(headerValue(withGap.out, "Nominal").ends_with(" Hz, the mean"));
}

// A journal is read as one whatever its name: its readings, and the gaps it recorded split the
// series where the time stamps run on evenly, exactly as a hole of 7 readings in the window's
// file does. The window's file of the same readings without the hole is one segment.
TEST(StabilityCli, AJournalsRecordedGapSplitsTheSeries) {
    QTemporaryDir folder;
    std::ifstream in(dataPath("series/wfm.dat"), std::ios::binary);
    std::string header;
    std::string even;
    std::string holed;
    recording::JournalEncoder encoder;
    std::string journal = recording::JournalEncoder::header({46000.5, "COM3", "kelvo"});
    int lineNumber = 0;
    for (std::string line; std::getline(in, line) && lineNumber < 403;) {
        ++lineNumber;
        if (lineNumber <= 3) {
            header += line + '\n';
            continue;
        }
        const std::size_t blank = line.find(' ');
        const double timeMs = std::stod(line.substr(0, blank));
        const std::string value = line.substr(blank + 1, line.find('\r') - blank - 1);
        if (lineNumber == 204) {
            encoder.addGap(journal, {timeMs - 1000, timeMs, recording::GapCause::LostTelegrams, 7});
        }
        encoder.addReading(journal, timeMs, std::stod(value), "Hz", value);
        even += line + '\n';
        holed += (lineNumber >= 204 ? std::to_string(static_cast<long>(timeMs) + 7000) + ' ' + value
                                    : line.substr(0, line.find('\r'))) +
                 "\r\n";
    }
    const std::string journalPath = folder.filePath("run.stdout").toStdString();
    writeFile(journalPath, journal);
    writeFile(folder.filePath("even.dat").toStdString(), header + even);
    writeFile(folder.filePath("holed.dat").toStdString(), header + holed);

    const CliRun read = runCli({"stability", journalPath});
    expectSucceeded(read);
    EXPECT_EQ(headerValue(read.out, "Values"),
              "a measurement journal: time in ms, frequency in Hz, 1 recorded gap");
    EXPECT_EQ(headerValue(read.out, "Readings"), "400, 400 usable, in 2 gap-free segments");
    const std::vector<std::string> csv{"stability", "--csv", "--deviations", "adev,mdev,totdev"};
    const auto csvOf = [&](const std::string& name) {
        std::vector<std::string> arguments = csv;
        arguments.push_back(name);
        const CliRun run = runCli(arguments);
        expectSucceeded(run);
        return run.out;
    };
    EXPECT_EQ(csvOf(journalPath), csvOf(folder.filePath("holed.dat").toStdString()));
    EXPECT_NE(csvOf(journalPath), csvOf(folder.filePath("even.dat").toStdString()));
    EXPECT_EQ(headerValue(runCli({"stability", folder.filePath("even.dat").toStdString()}).out,
                          "Readings"),
              "400, 400 usable, in 1 segment");
}

struct Failure {
    std::vector<std::string> arguments;
    int exitCode;
};

TEST(StabilityCli, FailuresExitWithTheirCodeAndOneLine) {
    QTemporaryDir folder;
    const std::string folderPath = folder.path().toStdString();
    const std::string dat = dataPath("series/wfm.dat");
    const std::string empty = folderPath + "/empty.txt";
    const std::string zeros = folderPath + "/zeros.csv";
    const std::string headerOnly = folderPath + "/header.dat";
    writeFile(empty, "");
    writeFile(zeros, "1000;0\r\n2000;0,0\r\n");
    writeFile(headerOnly, "/* KELVO counter data: t/ms, f/Hz\r\n/* \r\n/*\r\n");
    const Failure failures[] = {
        {{}, 2},
        {{"frobnicate"}, 2},
        {{"stability"}, 2},
        {{"stability", "-", dat, "-"}, 2},
        {{"stability", dat, "--nominal", "zero"}, 2},
        {{"stability", dat, "--nominal", "0"}, 2},
        {{"stability", dat, "--drift", "fit"}, 2},
        {{"stability", dat, "--deviations", "adev,xdev"}, 2},
        {{"stability", dat, "--deviations", "theo1,theo1"}, 2},
        {{"stability", dat, "--phase", "--period"}, 2},
        {{"stability", dat, "--confidence", "1"}, 2},
        {{"stability", dat, "--spacing"}, 2},
        {{"stability", dat, "--csv=yes"}, 2},
        {{"stability", dat, "--tau0", "2"}, 2},
        {{"stability", dat, "--plot", folderPath + "/plot.jpg"}, 2},
        {{"stability", dat, "--plot", folderPath + "/plot"}, 2},
        {{"stability", dat, "--size", "800x600"}, 2},
        {{"stability", dat, "--plot", folderPath + "/plot.png", "--size", "800"}, 2},
        {{"stability", dat, "--plot", folderPath + "/plot.png", "--size", "15x600"}, 2},
        {{"stability", dat, "--plot", folderPath + "/none/plot.png"}, 7},
        {{"stability", dat, "--plot", folderPath + "/plot.svg", folderPath + "/missing.dat"}, 3},
        {{"stability", folderPath + "/missing.dat"}, 3},
        {{"stability", folderPath}, 3},
        {{"stability", empty}, 4},
        {{"stability", zeros}, 4},
        {{"stability", headerOnly}, 4},
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE(testing::PrintToString(failure.arguments));
        const CliRun run = runCli(failure.arguments);
        EXPECT_EQ(run.exitCode, failure.exitCode);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.starts_with("talvek-cli: ")) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    // No picture, nor what was to become one, is left behind by a failure.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList({"empty.txt", "header.dat", "zeros.csv"}));
}

// Several files are several runs: the CSV names each row's run in a leading column (by the
// file's name, or its path where two names are the same, quoted where it holds a comma), its rows
// those of the run alone; the text tells each run; "-" is one of them.
TEST(StabilityCli, SeveralFilesAreSeveralRuns) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath("b"));
    const std::string wfm = dataPath("series/wfm.dat");
    const std::string ffm = dataPath("series/ffm.dat");
    const std::string same = folder.filePath("b/wfm.dat").toStdString();
    const std::string comma = folder.filePath("ffm, warm.dat").toStdString();
    std::filesystem::copy_file(wfm, same);
    std::filesystem::copy_file(ffm, comma);
    const auto alone = [](const std::string& path) {
        const CliRun run = runCli({"stability", path, "--csv", "--deviations", "adev,tdev"});
        expectSucceeded(run);
        return lines(run.out);
    };
    const CliRun several =
        runCli({"stability", wfm, same, comma, "--csv", "--deviations", "adev,tdev"});
    expectSucceeded(several);
    std::vector<std::string> expected{"run," + alone(wfm).front()};
    for (const auto& [path, name] :
         {std::pair{wfm, wfm}, {same, same}, {comma, std::string("\"ffm, warm.dat\"")}}) {
        const std::vector<std::string> rows = alone(path);
        for (std::size_t i = 1; i < rows.size(); ++i) {
            expected.push_back(name + "," + rows[i]);
        }
    }
    EXPECT_EQ(lines(several.out), expected);

    const CliRun fromInput = talvek::test::runProgram(
        "/bin/sh", {"-c", "exec \"$0\" stability \"$1\" - --deviations adev --csv < \"$2\"",
                    TALVEK_CLI, ffm, wfm});
    expectSucceeded(fromInput);
    const std::vector<std::string> rows = lines(fromInput.out);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), "run,tau,deviation,terms,value,lower,upper,noise");
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](const std::string& row) { return row.starts_with("ffm.dat,"); }),
              std::count_if(rows.begin(), rows.end(),
                            [](const std::string& row) { return row.starts_with("-,"); }));
    EXPECT_TRUE(rows.back().starts_with("-,1024,adev,")) << rows.back();

    const CliRun text = runCli({"stability", wfm, ffm});
    expectSucceeded(text);
    const auto report = lines(text.out);
    std::vector<std::string> files;
    std::copy_if(report.begin(), report.end(), std::back_inserter(files),
                 [](const std::string& line) { return line.starts_with("File "); });
    EXPECT_EQ(files, (std::vector<std::string>{"File        " + wfm, "File        " + ffm}));
    EXPECT_EQ(text.out, runCli({"stability", wfm}).out + "\n" + runCli({"stability", ffm}).out);
}

// The total, Theo and time-error deviations of a recording, against allantools: a row for every
// value it gives, each with an interval where the deviation has an EDF for the noise type.
TEST(StabilityCli, EveryNewDeviationMatchesAllantools) {
    const std::string kinds = "totdev,mtotdev,ttotdev,htotdev,theo1,theobr,theoh,mtie,tierms";
    for (const std::string& name : {std::string("wpm"), std::string("rwfm")}) {
        SCOPED_TRACE(name);
        const CliRun run = runCli(
            {"stability", dataPath("series/" + name + ".dat"), "--csv", "--deviations", kinds});
        expectSucceeded(run);
        std::map<std::pair<std::string, std::string>, CsvRow> rows;
        std::set<std::string> seen;
        for (const CsvRow& row : analysis_test::parseCsv(run.out)) {
            rows[{row.at("deviation"), row.at("tau")}] = row;
            seen.insert(row.at("deviation"));
            const bool edf = row.at("deviation") != "mtie" && row.at("deviation") != "tierms" &&
                             row.at("deviation") != "htotdev";
            if (!edf) {
                EXPECT_TRUE(row.at("lower").empty()) << row.at("deviation");
            }
        }
        EXPECT_EQ(seen.size(), 9u);
        for (const CsvRow& want :
             analysis_test::readCsv("expected/" + name + "_ext_mean-nominal.csv")) {
            const auto found = rows.find({want.at("deviation"), want.at("tau")});
            ASSERT_NE(found, rows.end()) << want.at("deviation") << " " << want.at("tau");
            expectRelative(number(found->second, "value"), number(want, "value"), 1e-9,
                           want.at("deviation") + " tau " + want.at("tau"));
        }
        EXPECT_FALSE(rows.at({"theo1", "1.5"}).at("lower").empty());
        EXPECT_FALSE(rows.at({"totdev", "1"}).at("upper").empty());
    }
}

// A .dat is known by its header, whatever its name, and "-" is standard input.
TEST(StabilityCli, DatHeaderDecidesAndStandardInputReads) {
    const std::string dat = dataPath("series/wfm.dat");
    const CliRun reference = runCli({"stability", dat, "--csv"});
    expectSucceeded(reference);
    QTemporaryDir folder;
    const std::string renamed = folder.filePath("run.stdout").toStdString();
    std::ifstream in(dat, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    writeFile(renamed, text);
    const CliRun byHeader = runCli({"stability", renamed, "--csv"});
    expectSucceeded(byHeader);
    EXPECT_EQ(byHeader.out, reference.out);
    const CliRun fromInput = talvek::test::runProgram(
        "/bin/sh", {"-c", "exec \"$0\" stability - --csv < \"$1\"", TALVEK_CLI, renamed});
    expectSucceeded(fromInput);
    EXPECT_EQ(fromInput.out, reference.out);
    const CliRun report = runCli({"stability", renamed});
    EXPECT_EQ(headerValue(report.out, "tau0"), "1 s, from the time stamps");
}

// Phase readings: the 1000-point set as the phase of a time-interval counter, one column or two,
// give Stable32's MTIE and TIE rms.
TEST(StabilityCli, PhaseFilesGiveTheTimeErrorOfTheirPhase) {
    QTemporaryDir folder;
    const std::string oneColumn = folder.filePath("phase.txt").toStdString();
    const std::string twoColumns = folder.filePath("phase2.txt").toStdString();
    std::ostringstream one;
    std::ostringstream two;
    one.precision(17);
    two.precision(17);
    double x = 0;
    one << x << '\n';
    two << 0 << ' ' << x << '\n';
    int second = 0;
    for (double y : analysis_test::readNumbers("nbs14/nbs14_1000_frequency.txt")) {
        x += y;
        one << x << '\n';
        two << ++second << ' ' << x << '\n';
    }
    writeFile(oneColumn, one.str());
    writeFile(twoColumns, two.str());
    std::map<std::string, double> expected;
    for (const CsvRow& row : analysis_test::readCsv("nbs14/phasedat_ext.csv")) {
        if (row.at("deviation") == "tierms" || row.at("deviation") == "totdev") {
            expected[row.at("deviation") + " " + row.at("m")] = number(row, "allantools");
        }
    }
    for (const std::string& path : {oneColumn, twoColumns}) {
        const CliRun run =
            runCli({"stability", path, "--phase", "--csv", "--deviations", "tierms,totdev"});
        expectSucceeded(run);
        std::size_t compared = 0;
        for (const CsvRow& row : analysis_test::parseCsv(run.out)) {
            const auto want = expected.find(row.at("deviation") + " " + row.at("tau"));
            if (want != expected.end()) {
                expectRelative(number(row, "value"), want->second, 1e-9, want->first);
                ++compared;
            }
        }
        EXPECT_EQ(compared, 16u) << path; // totdev m 1 .. 256, tierms m 1 .. 64
    }
    const CliRun report = runCli({"stability", twoColumns, "--phase"});
    expectSucceeded(report);
    EXPECT_EQ(headerValue(report.out, "Values"), "plain text, two columns: time in s, phase in s");
}

// --bias-corrected divides MTOTDEV by the square root of SP 1065's ratio for the noise type.
TEST(StabilityCli, BiasCorrectedVariantIsAChoice) {
    const std::string dat = dataPath("series/wfm.dat");
    const auto plain =
        analysis_test::parseCsv(runCli({"stability", dat, "--csv", "--deviations", "mtotdev"}).out);
    const auto corrected = analysis_test::parseCsv(
        runCli({"stability", dat, "--csv", "--deviations", "mtotdev", "--bias-corrected"}).out);
    ASSERT_EQ(plain.size(), corrected.size());
    ASSERT_FALSE(plain.empty());
    const std::map<std::string, double> ratios{{"white PM", 0.94},
                                               {"flicker PM", 0.83},
                                               {"white FM", 0.73},
                                               {"flicker FM", 0.70},
                                               {"random walk FM", 0.69}};
    for (std::size_t i = 0; i < plain.size(); ++i) {
        expectRelative(number(corrected[i], "value"),
                       number(plain[i], "value") / std::sqrt(ratios.at(plain[i].at("noise"))),
                       1e-12, "tau " + plain[i].at("tau"));
    }
}

// On a terminal, an analysis that takes seconds (TheoBR and TheoH over half a million readings:
// some 4 s of processor time here, work that grows with the square of the readings) shows its
// progress on standard error, one line rewritten in place; the table follows on a line of its own.
// Long enough to take well over a second; ThreadSanitizer slows the analysis many times.
#if defined(__SANITIZE_THREAD__)
constexpr int kLongRunCopies = 16;
#else
constexpr int kLongRunCopies = 128;
#endif

TEST(StabilityCli, LongAnalysisShowsItsProgressOnATerminal) {
    QTemporaryDir folder;
    const std::string values = folder.filePath("values.txt").toStdString();
    const auto y = analysis_test::readNumbers("series/wfm.txt");
    std::ostringstream text;
    text.precision(17);
    for (int copy = 0; copy < kLongRunCopies; ++copy) {
        for (double v : y) {
            text << v << '\n';
        }
    }
    writeFile(values, text.str());
    const std::string command =
        std::string(TALVEK_CLI) + " stability " + values + " --csv --deviations theobr,theoh";
    const CliRun run = talvek::test::runProgram("/usr/bin/script", {"-qec", command, "/dev/null"});
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("\rstability  "), std::string::npos) << run.out.substr(0, 200);
    EXPECT_NE(run.out.find(" %  0:00:0"), std::string::npos) << run.out.substr(0, 200);
    EXPECT_NE(run.out.find("\r\ntau,deviation,terms,value,lower,upper,noise"), std::string::npos);
}

TEST(StabilityCli, VersionAndHelp) {
    const CliRun version = runCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "talvek-cli " TALVEK_VERSION "\n");
    for (const auto& arguments : {std::vector<std::string>{"--help"}, {"stability", "--help"}}) {
        const CliRun help = runCli(arguments);
        expectSucceeded(help);
        EXPECT_TRUE(help.out.starts_with("Usage: talvek-cli ")) << help.out;
        EXPECT_NE(help.out.find("stability"), std::string::npos);
    }
}

} // namespace
