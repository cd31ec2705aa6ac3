// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/menu_action.h"

#include <QAction>
#include <QMenu>
#include <QString>

namespace talvek::test {

QAction* findMenuAction(QMenu* menu, const std::vector<std::string>& path) {
    QAction* found = nullptr;
    for (const std::string& caption : path) {
        if (!menu) {
            return nullptr;
        }
        found = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == QString::fromLatin1(caption)) {
                found = action;
            }
        }
        if (!found) {
            return nullptr;
        }
        menu = found->menu();
    }
    return found;
}

} // namespace talvek::test
