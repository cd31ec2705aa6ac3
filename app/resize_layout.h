#pragma once

#include <functional>
#include <string>

namespace app {

struct TTextExtent {
    int Width = 0;
    int Height = 0;
};

// Sizes the window's layout rule starts from, in pixels.
struct TResizeInput {
    int ConnectPageHeight = 0; // client height of the "Connect" page
    int BConnectHeight = 0;
    int CComHeight = 0;
    int CheckAutoHeight = 0;
    int LCHeight = 0;
    int LBCWidth = 0;
    int ECLeft = 0;
    int DisplayPageWidth = 0; // client width and height of the "Display" page
    int DisplayPageHeight = 0;
    // Pixel extent of a text in the big-digit font at a size in points.
    std::function<TTextExtent(int pointSize, const std::string& text)> MeasureBigDigits;
};

// Where the resize rule puts the controls.
struct TResizeLayout {
    int BConnectTop = 0;
    int CComTop = 0;
    int LBHeight = 0;
    int CheckAutoTop = 0;
    int LFreqFontSize = 0; // points
    int LFreqTop = 0;
    int LFreqLeft = 0;
    int LBCHeight = 0;
    int LCTop = 0;
    int ECTop = 0;
    int ECWidth = 0;
};

// The layout rule run on every resize; the big digits are sized so that 18 of them fill the
// width of the "Display" page. "Half of" divides by 2 toward zero.
TResizeLayout ComputeResizeLayout(const TResizeInput& in);

} // namespace app
