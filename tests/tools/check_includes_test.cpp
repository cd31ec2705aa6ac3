// SPDX-License-Identifier: GPL-3.0-or-later
// scripts/check-includes.sh on a small tree held to this repository's include rules: each include
// below is either reported with its file and line or passes.
#include "tests/support/child_process.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct IncludeCase {
    const char* file;
    const char* include;
    const char* verdict; // what the checker prints after "file:2: ", empty when allowed
};

const IncludeCase kCases[] = {
    {"graph/engine_user.cpp", "\"plot/engine_state.h\"",
     "graph/ may not include plot/engine_state.h"},
    {"graph/face_user.cpp", "\"plot/plot_engine.h\"", ""},
    {"graph/own.cpp", "\"graph/xy_plot.h\"", ""},
    {"counter/upward.cpp", "\"app/main_window.h\"", "counter/ may not include app/main_window.h"},
    {"counter/downward.cpp", "\"serial/serial_port.h\"", ""},
    {"cli/ports.cpp", "\"portselect/port_selector.h\"",
     "cli/ may not include portselect/port_selector.h"},
    {"cli/discovery.cpp", "\"portselect/port_discovery.h\"", ""},
    {"analysis/qt_user.h", "<QString>", "analysis/ may not include <QString>"},
    {"analysis/std_user.h", "<queue>", ""},
    {"portselect/port_discovery.cpp", "<QComboBox>", "portselect/ may not include <QComboBox>"},
    {"portselect/port_selector.cpp", "<QComboBox>", ""},
    {"serial/widget.cpp", "<QtWidgets/QWidget>", "serial/ may not include <QtWidgets/QWidget>"},
    {"serial/gui_action.cpp", "<qaction.h>", ""}, // QtGui's, forwarded by QtWidgets too
    {"tests/anything.cpp", "\"plot/engine_state.h\"", ""},
};

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

struct Checked {
    int exitCode = -1;
    std::set<std::string> lines;
};

// widgetsDir: the QtWidgets header folder, or null for the installed one.
Checked runChecker(const fs::path& root, const char* widgetsDir) {
    const std::string script =
        std::string(std::getenv("TALVEK_SOURCE_DIR")) + "/scripts/check-includes.sh";
    talvek::test::ChildProcess child;
    Checked checked;
    std::vector<std::pair<std::string, std::string>> environment;
    if (widgetsDir != nullptr) {
        environment.emplace_back("TALVEK_QT_WIDGETS_DIR", widgetsDir);
    }
    if (!child.start("bash", {script, root.string()}, environment)) {
        return checked;
    }
    std::string output;
    while (child.running()) {
        output += child.readOutput(100);
    }
    output += child.readOutput();
    checked.exitCode = child.exitCode();
    std::istringstream stream(output);
    for (std::string line; std::getline(stream, line);) {
        checked.lines.insert(line);
    }
    return checked;
}

// A tree under `root` with this repository's rules and the cases, each include on line 2.
void buildTree(const fs::path& root, bool withViolations) {
    fs::create_directories(root / "docs");
    fs::copy_file(fs::path(std::getenv("TALVEK_SOURCE_DIR")) / "docs/ARCHITECTURE.md",
                  root / "docs/ARCHITECTURE.md");
    for (const IncludeCase& c : kCases) {
        if (withViolations || *c.verdict == '\0') {
            writeFile(root / c.file, std::string("// one include\n#include ") + c.include + "\n");
        }
    }
}

// The installed QtWidgets headers, and the fixed list the script falls back on without them (an
// empty folder name).
class CheckIncludes : public testing::TestWithParam<const char*> {};

TEST_P(CheckIncludes, ReportsEachBrokenRuleWithItsLine) {
    QTemporaryDir work;
    const fs::path root = work.path().toStdString();
    buildTree(root, true);
    std::set<std::string> expected;
    for (const IncludeCase& c : kCases) {
        if (*c.verdict != '\0') {
            expected.insert(std::string(c.file) + ":2: " + c.verdict + " (docs/ARCHITECTURE.md)");
        }
    }
    const Checked checked = runChecker(root, GetParam());
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_EQ(checked.lines, expected);
}

TEST_P(CheckIncludes, PassesATreeThatKeepsTheRules) {
    QTemporaryDir work;
    const fs::path root = work.path().toStdString();
    buildTree(root, false);
    const Checked checked = runChecker(root, GetParam());
    EXPECT_EQ(checked.exitCode, 0);
    EXPECT_EQ(checked.lines, std::set<std::string>{});
}

TEST_P(CheckIncludes, ReportsAFolderWithoutARow) {
    QTemporaryDir work;
    const fs::path root = work.path().toStdString();
    buildTree(root, false);
    writeFile(root / "newfolder/thing.cpp", "#include <vector>\n");
    const Checked checked = runChecker(root, GetParam());
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_EQ(checked.lines, std::set<std::string>{
                                 "newfolder/: no row in the include rules (docs/ARCHITECTURE.md)"});
}

INSTANTIATE_TEST_SUITE_P(WidgetHeaders, CheckIncludes, testing::Values(nullptr, ""));

} // namespace
