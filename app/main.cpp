// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"
#include "app/main_window.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (const std::optional<int> status = app::answerBeforeWindow(arguments)) {
        return *status;
    }
    QApplication application(argc, argv);
    app::MainWindow window;
    window.show();
    return application.exec();
}
