// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAction;
class QMenu;
class QWidget;

namespace app {

// An entry of `menu` whose caption is shown literally: no character of it marks an accelerator.
QAction* addMenuEntry(QMenu* menu, const char* caption);
QMenu* addSubMenu(QMenu* menu, const char* caption);
// The same, placed before the last separator of `menu` (at its end where it has none).
QAction* insertMenuEntryBeforeLastGroup(QMenu* menu, const char* caption);

// `menu` pops up where the user asks for the context menu of `widget`.
void attachPopup(QWidget* widget, QMenu* menu);

} // namespace app
