// SPDX-License-Identifier: GPL-3.0-or-later
// The program's window in a process of its own, for a test that kills it in the middle of a
// measurement: as the program entry runs it, with the settings folder given as the argument, and
// Connect pressed once the window shows. Usage: e2e_measuring_window <settings folder>

#include "app/connect_page.h"
#include "app/main_window.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        return 2;
    }
    app::WindowEnvironment environment;
    environment.settingsFolder = argv[1];
    app::MainWindow window(environment);
    window.show();
    QTimer::singleShot(0, &window, [&window] { window.connectPage().connectButton()->click(); });
    return application.exec();
}
