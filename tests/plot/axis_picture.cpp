#include "axis_picture.h"

::testing::AssertionResult TextAt(const Canvas& picture, int left, int top, const std::string& text,
                                  TColor colour) {
    Canvas alone(picture.Width(), picture.Height());
    alone.Brush = TBrush{clWhite, TBrushStyle::Solid};
    alone.FillRect(0, 0, alone.Width(), alone.Height());
    alone.Font = picture.Font;
    alone.Font.Color = colour;
    alone.TextOut(left, top, text);
    const int right = left + alone.TextWidth(text);
    const int bottom = top + alone.TextHeight(text);
    int ink = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (alone.Pixel(x, y) != picture.Pixel(x, y))
                return ::testing::AssertionFailure()
                       << "\"" << text << "\" at (" << left << ", " << top << "): pixel (" << x
                       << ", " << y << ") is " << std::hex << picture.Pixel(x, y) << ", want "
                       << alone.Pixel(x, y);
            ink += alone.Pixel(x, y) == colour;
        }
    }
    if (ink == 0)
        return ::testing::AssertionFailure() << "\"" << text << "\" has no ink there";
    return ::testing::AssertionSuccess();
}
