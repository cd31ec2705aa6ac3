// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the six pages for the README: the window connected to the virtual counter after a
// few seconds of continuous measurement. Usage: e2e_screenshots <folder> [<width>x<height>]
// With a size, the window is then resized to it while the "Graph" page shows and the six pages
// are taken again as page-<name>-<width>x<height>.png. TALVEK_DARK=1 takes them under a dark
// Fusion palette, as a dark desktop theme shows them. TALVEK_RUNS=1 opens two measurements beside
// the live one at the end and takes the "Graph" and "Stability" pages again as
// page-<name>-runs.png.

#include "app/commands_page.h"
#include "app/connect_page.h"
#include "app/dialogs.h"
#include "app/display_page.h"
#include "app/dynamic_page.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/main_window.h"
#include "app/stability_page.h"
#include "counter/driver.h"
#include "portselect/port_selector.h"
#include "tests/e2e/virtual_counter.h"
#include "tests/support/dark_palette.h"
#include "tests/support/menu_action.h"
#include "tests/support/port_sandbox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

namespace {

// Serves events until `done` holds.
void waitUntil(const std::function<bool()>& done) {
    while (!done()) {
        QTest::qWait(10);
    }
}

// Runs the entry and waits until a command it sent has its reply.
void choose(app::MainWindow& form, QMenu* menu, const std::vector<std::string>& path) {
    if (QAction* action = talvek::test::findMenuAction(menu, path)) {
        action->trigger();
    }
    waitUntil([&] { return !form.counter().awaitingReply(); });
}

bool Save(app::MainWindow& form, QWidget* page, const QString& file) {
    form.pages()->setCurrentWidget(page);
    QTest::qWait(300);
    return form.grab().save(file);
}

// The pages, ending on the "Graph" page.
bool savePages(app::MainWindow& form, const QString& out, const QString& suffix) {
    return Save(form, &form.connectPage(), out + "/page-connect" + suffix + ".png") &&
           Save(form, &form.commandsPage(), out + "/page-commands" + suffix + ".png") &&
           Save(form, &form.displayPage(), out + "/page-display" + suffix + ".png") &&
           Save(form, &form.stabilityPage(), out + "/page-stability" + suffix + ".png") &&
           Save(form, &form.dynamicPage(), out + "/page-dynamic" + suffix + ".png") &&
           Save(form, &form.graphPage(), out + "/page-graph" + suffix + ".png");
}

// The toolkit's dialogs, except that the open dialog answers with the file given last.
class OpeningDialogs : public app::Dialogs {
public:
    std::string answer;
    std::optional<app::SaveChoice> executeSaveDialog(const std::string&,
                                                     const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> executeOpenDialog(const std::string&) override { return answer; }
    bool askYesNo(const std::string&) override { return false; }
    bool executePrinterSetup() override { return false; }
    std::unique_ptr<plot::PrintTarget> openPrinter() override { return nullptr; }
    void showError(const std::string& message) override {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
};

// A .dat of five minutes a second apart, `offset` from `nominal`, wandering by `wander`.
std::string writeRun(const QString& folder, const char* name, double nominal, double offset,
                     double wander) {
    const std::string path = (folder + u'/' + QString::fromLatin1(name)).toStdString();
    std::ofstream file(path, std::ios::binary);
    file << "/* KELVO counter data: t/ms, f/Hz\n/*\n/*\n";
    for (int i = 0; i < 300; ++i) {
        const double value =
            nominal * (1 + offset + wander * (std::sin(i * 0.05) + 0.5 * (i % 7) / 7));
        file << 1000 * i << ' ' << std::to_string(value) << '\n';
    }
    return path;
}

void openBeside(app::MainWindow& form, OpeningDialogs& dialogs, const std::string& path) {
    dialogs.answer = path;
    talvek::test::findMenuAction(form.connectPage().logMenu(), {"Open measurement..."})->trigger();
    waitUntil([&] { return !form.loadingMeasurement(); });
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    if (qEnvironmentVariableIsSet("TALVEK_DARK")) {
        talvek::test::useDarkFusionPalette(application);
    }
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <folder> [<width>x<height>]\n", argv[0]);
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const talvek::test::PortSandbox home;
    VirtualCounter counter(home.path(), home.file("sent.log"));
    if (!counter.start({"--com", "20", "--start", "idle", "--gate", "0.1", "--seed", "4"})) {
        std::fprintf(stderr, "the virtual counter did not start\n");
        return 1;
    }
    app::WindowEnvironment environment;
    environment.settingsFolder = home.path();
    auto dialogs = std::make_shared<OpeningDialogs>();
    const bool runs = qEnvironmentVariableIsSet("TALVEK_RUNS");
    if (runs) {
        environment.dialogs = dialogs;
    }
    app::MainWindow form(environment);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }
    form.connectPage().portSelector()->setPort(counter.comName);
    form.counter().setPort(counter.comName);
    form.connectPage().connectButton()->click();
    waitUntil([&] { return form.isEnabled(); });
    choose(form, form.commandsPage().commandMenu(), {"Gate Time", "0.1s"});
    choose(form, form.commandsPage().commandMenu(), {"Measure", "continuous"});
    QTest::qWait(8000);
    choose(form, form.commandsPage().commandMenu(), {"Measure", "stop"});
    choose(form, form.commandsPage().commandMenu(), {"Info"});
    choose(form, form.graphPage().menu(), {"Frequency unit", "MHz"});

    bool saved = savePages(form, out, QString());
    if (argc == 3) {
        const QStringList size = QString::fromLocal8Bit(argv[2]).split(u'x');
        form.resize(size.value(0).toInt(), size.value(1).toInt());
        saved = saved && savePages(form, out, u'-' + QString::fromLocal8Bit(argv[2]));
    }
    if (runs) {
        const QString folder = QString::fromStdString(home.path());
        openBeside(form, *dialogs, writeRun(folder, "oscillator-A.dat", 10e6, 3e-8, 2e-8));
        openBeside(form, *dialogs, writeRun(folder, "oscillator-B.dat", 5e6, -5e-8, 5e-9));
        saved = saved && Save(form, &form.stabilityPage(), out + "/page-stability-runs.png") &&
                Save(form, &form.graphPage(), out + "/page-graph-runs.png");
    }
    form.connectPage().connectButton()->click();
    std::printf("%d readings; pictures %s in %s\n", form.log().count(),
                saved ? "saved" : "NOT saved", qPrintable(out));
    return saved ? 0 : 1;
}
