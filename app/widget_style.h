// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <Qt>

class QWidget;

namespace app {

// The fixed-pitch 15 px font of the log and reply lists.
QFont listFont();
// The window's sans-serif font, without a size.
QFont sansFont();
// The contrast text needs on its background to be read with ease (WCAG 2, level AA).
inline constexpr double kReadableContrast = 4.5;
// The contrast ratio of two colours, 1 to 21.
double contrastRatio(const QColor& a, const QColor& b);
// `wanted` where it has the contrast on `background`, else the first colour between it and white
// (on a dark background) or black that has.
QColor readableOn(const QColor& wanted, const QColor& background);

// Text and window text of `widget` in `colour`, or, where the desktop's palette would make it
// hard to read, in the nearest colour that reads; it follows palette changes.
void setTextColour(QWidget* widget, Qt::GlobalColor colour);

} // namespace app
