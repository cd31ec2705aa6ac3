// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QMenu;

namespace app {

class RunList;

// The "Runs" submenu of `menu`: an entry per run, named and in its colour, with "Shown" to show or
// hide it and "Close"; kept up to date with the list.
void addRunMenu(QMenu* menu, RunList& runs);

} // namespace app
