// SPDX-License-Identifier: GPL-3.0-or-later
#include "axis_picture.h"

namespace plot {

::testing::AssertionResult textAt(const Canvas& picture, int left, int top, const std::string& text,
                                  Color colour) {
    Canvas alone(picture.width(), picture.height());
    alone.brush = Brush{kWhite, BrushStyle::Solid};
    alone.fillRect(0, 0, alone.width(), alone.height());
    alone.font = picture.font;
    alone.font.color = colour;
    alone.textOut(left, top, text);
    const int right = left + alone.textWidth(text);
    const int bottom = top + alone.textHeight(text);
    int ink = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (alone.pixel(x, y) != picture.pixel(x, y))
                return ::testing::AssertionFailure()
                       << "\"" << text << "\" at (" << left << ", " << top << "): pixel (" << x
                       << ", " << y << ") is " << std::hex << picture.pixel(x, y) << ", want "
                       << alone.pixel(x, y);
            ink += alone.pixel(x, y) == colour;
        }
    }
    if (ink == 0)
        return ::testing::AssertionFailure() << "\"" << text << "\" has no ink there";
    return ::testing::AssertionSuccess();
}

} // namespace plot
