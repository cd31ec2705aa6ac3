// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include <QKeySequence>
#include <QShortcut>
#include <QTabWidget>

namespace app {

// The keys of every desktop program: pages in turn, save, open, quit. They reach the window
// whichever control has the focus, and type no character into the command line of the
// "Commands" page.
void MainWindow::addShortcuts() {
    const auto add = [this](const QKeySequence& keys, auto action) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
    };
    const auto turnPage = [this](int step) {
        const int count = pages_->count();
        pages_->setCurrentIndex((pages_->currentIndex() + step + count) % count);
    };
    for (const QKeySequence& next :
         {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}) {
        add(next, [turnPage] { turnPage(1); });
    }
    for (const QKeySequence& previous : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                                         QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
        add(previous, [turnPage] { turnPage(-1); });
    }
    add(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { saveThroughDialog(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_O), [this] { openThroughDialog(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });
}

} // namespace app
