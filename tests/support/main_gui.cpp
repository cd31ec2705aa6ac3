// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <gtest/gtest.h>

// Widget tests run on the offscreen platform unless the caller chose another, with one screen of
// a common desktop's size: the window's designed geometry fits on it, as on the users' machines.
int main(int argc, char** argv) {
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (chosen.isEmpty() || chosen == "offscreen") {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + TALVEK_DESKTOP_SCREEN);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
