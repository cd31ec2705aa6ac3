// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"
#include "app/main_window.h"

#include <QApplication>

#include <csignal>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (const std::optional<int> status = app::answerBeforeWindow(arguments)) {
        return *status;
    }
    // A journal or export that reaches the file size limit fails its write, which the window
    // reports, instead of ending the program with the readings unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    app::MainWindow window;
    window.show();
    return application.exec();
}
