// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

namespace app {

// A window's geometry on a screen's available area: kept where it fits; else no larger than the
// area and moved onto it, as little as need be. A size past the area (a damaged settings file, a
// smaller monitor than last time) would make a window nobody can see whole, and a huge one costs
// gigabytes of back buffer.
QRect placeOnScreen(const QRect& wanted, const QRect& available);

} // namespace app
