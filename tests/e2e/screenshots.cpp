// Pictures of the four pages for the README: the window connected to the virtual counter after a
// few seconds of continuous measurement. Usage: e2e_screenshots <folder> [<width>x<height>]
// With a size, the window is then resized to it while the "Graph" page shows and the four pages
// are taken again as page-<name>-<width>x<height>.png.

#include "app/main_window.h"
#include "counter/kelvo_counter.h"
#include "portselect/com_port_combo_box.h"
#include "tests/e2e/virtual_counter.h"
#include "tests/support/menu_action.h"
#include "tests/support/port_sandbox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdio>
#include <functional>

namespace {

// Serves events until `done` holds.
void WaitUntil(const std::function<bool()>& done) {
    while (!done()) {
        QTest::qWait(10);
    }
}

// Runs the entry and waits until a command it sent has its reply.
void Choose(app::TForm1& form, QMenu* menu, const std::vector<std::string>& path) {
    if (QAction* action = FindMenuAction(menu, path)) {
        action->trigger();
    }
    WaitUntil([&] { return !form.KELVO_Counter->awaitingReply(); });
}

bool Save(app::TForm1& form, QWidget* page, const QString& file) {
    form.PageControl->setCurrentWidget(page);
    QTest::qWait(300);
    return form.grab().save(file);
}

// The pages in order, ending on the "Graph" page.
bool SavePages(app::TForm1& form, const QString& out, const QString& suffix) {
    return Save(form, form.TabMeasure, out + "/page-connect" + suffix + ".png") &&
           Save(form, form.TabConsole, out + "/page-commands" + suffix + ".png") &&
           Save(form, form.TabDisplay, out + "/page-display" + suffix + ".png") &&
           Save(form, form.TabGraph, out + "/page-graph" + suffix + ".png");
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <folder> [<width>x<height>]\n", argv[0]);
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const TPortSandbox home;
    TVirtualCounter counter(home.Path(), home.File("sent.log"));
    if (!counter.Start({"--com", "20", "--start", "idle", "--gate", "0.1", "--seed", "4"})) {
        std::fprintf(stderr, "the virtual counter did not start\n");
        return 1;
    }
    app::TFormEnvironment environment;
    environment.SettingsFolder = home.Path();
    app::TForm1 form(environment);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }
    form.CCom->SetPort(counter.Com);
    form.KELVO_Counter->setPort(counter.Com);
    form.BConnect->click();
    WaitUntil([&] { return form.isEnabled(); });
    Choose(form, form.PopupCommands, {"Gate Time", "0.1s"});
    Choose(form, form.PopupCommands, {"Measure", "continuous"});
    QTest::qWait(8000);
    Choose(form, form.PopupCommands, {"Measure", "stop"});
    Choose(form, form.PopupCommands, {"Info"});
    Choose(form, form.PopupGraph, {"Frequency unit", "MHz"});

    bool saved = SavePages(form, out, QString());
    if (argc == 3) {
        const QStringList size = QString::fromLocal8Bit(argv[2]).split(u'x');
        form.resize(size.value(0).toInt(), size.value(1).toInt());
        saved = saved && SavePages(form, out, u'-' + QString::fromLocal8Bit(argv[2]));
    }
    form.BConnect->click();
    std::printf("%d readings; pictures %s in %s\n", form.Log->Count(),
                saved ? "saved" : "NOT saved", qPrintable(out));
    return saved ? 0 : 1;
}
