// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

namespace talvek::test {

// Switches the application to the Fusion style with a dark palette, as a dark desktop theme does.
void useDarkFusionPalette(QApplication& application);

} // namespace talvek::test
