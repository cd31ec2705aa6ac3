// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <Qt>

class QWidget;

namespace app {

// The fixed-pitch 15 px font of the log and reply lists.
QFont listFont();
// The window's sans-serif font, without a size.
QFont sansFont();
// Text and window text of `widget` in `colour`.
void setTextColour(QWidget* widget, Qt::GlobalColor colour);

} // namespace app
