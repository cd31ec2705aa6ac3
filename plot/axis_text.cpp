// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/axis_text.h"

namespace plot {

bool drawAxisText(EngineState& e, int x, int y, const std::string& text, HorizontalAlign horizontal,
                  VerticalAlign vertical, int angle) {
    if (e.targetCanvas == nullptr || x < 0 || x > e.pictureWidth - 1 || y < 0 ||
        y > e.pictureHeight - 1)
        return false;
    Canvas& c = *e.targetCanvas;
    if (angle != 0) {
        const Font upright = c.font;
        c.font.orientation = angle * 10;
        c.font.antialiased = e.settings.rounded(Setting::AntialiasFont) == 1;
        c.textOut(x, y, text);
        c.font = upright;
        return true;
    }
    if (horizontal == HorizontalAlign::Centre)
        x -= c.textWidth(text) / 2;
    else if (horizontal == HorizontalAlign::Right)
        x -= c.textWidth(text);
    if (vertical == VerticalAlign::Bottom)
        y -= c.textHeight(text);
    else if (vertical == VerticalAlign::Centred)
        y -= e.charHeight / 2;
    c.textOut(x, y, text);
    return true;
}

} // namespace plot
