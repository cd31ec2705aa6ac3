#include "plot/axis_text.h"

bool DrawAxisText(EngineState& e, int x, int y, const std::string& text,
                  THorizontalAlign horizontal, TVerticalAlign vertical, int angle) {
    if (e.TargetCanvas == nullptr || x < 0 || x > e.PictureWidth - 1 || y < 0 ||
        y > e.PictureHeight - 1)
        return false;
    Canvas& c = *e.TargetCanvas;
    if (angle != 0) {
        const TFont upright = c.Font;
        c.Font.Orientation = angle * 10;
        c.Font.Antialiased = e.Settings.rounded(Setting::AntialiasFont) == 1;
        c.TextOut(x, y, text);
        c.Font = upright;
        return true;
    }
    if (horizontal == THorizontalAlign::Centre)
        x -= c.TextWidth(text) / 2;
    else if (horizontal == THorizontalAlign::Right)
        x -= c.TextWidth(text);
    if (vertical == TVerticalAlign::Bottom)
        y -= c.TextHeight(text);
    else if (vertical == TVerticalAlign::Centred)
        y -= e.CharHeight / 2;
    c.TextOut(x, y, text);
    return true;
}
