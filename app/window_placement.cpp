// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_placement.h"

#include <algorithm>

namespace app {

QRect placeOnScreen(const QRect& wanted, const QRect& available) {
    if (available.isEmpty() || available.contains(wanted)) {
        return wanted;
    }
    const int width = std::min(wanted.width(), available.width());
    const int height = std::min(wanted.height(), available.height());
    const int left = std::clamp(wanted.left(), available.left(), available.right() + 1 - width);
    const int top = std::clamp(wanted.top(), available.top(), available.bottom() + 1 - height);
    return {left, top, width, height};
}

} // namespace app
