// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

class QAction;
class QMenu;

namespace talvek::test {

// The popup-menu entry reached by its captions, e.g. {"Measure", "stop"}; null when one is missing.
QAction* findMenuAction(QMenu* menu, const std::vector<std::string>& path);

} // namespace talvek::test
