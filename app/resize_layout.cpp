#include "app/resize_layout.h"

#include <algorithm>

namespace app {

TResizeLayout ComputeResizeLayout(const TResizeInput& in) {
    TResizeLayout out;
    out.BConnectTop = in.ConnectPageHeight - in.BConnectHeight - 4;
    out.CComTop = out.BConnectTop + (in.BConnectHeight - in.CComHeight) / 2;
    out.LBHeight = out.BConnectTop - 4;
    out.CheckAutoTop = out.CComTop + (in.CComHeight - in.CheckAutoHeight) / 2;

    const int width = in.DisplayPageWidth;
    // A page narrower than 20 px would ask for a font of 0 points and a width of 0 to divide by.
    const int firstSize = std::max(1, width / 20);
    const int digitsWidth = in.MeasureBigDigits(firstSize, "123456789012345678").Width;
    out.LFreqFontSize =
        digitsWidth > 0
            ? std::max(1, static_cast<int>(static_cast<long long>(firstSize) * width / digitsWidth))
            : firstSize;
    out.LFreqTop = (in.DisplayPageHeight - in.MeasureBigDigits(out.LFreqFontSize, "1").Height) / 2;
    out.LFreqLeft = digitsWidth / 20;

    out.LBCHeight = out.LBHeight;
    out.LCTop = out.CheckAutoTop + (in.CheckAutoHeight - in.LCHeight) / 2;
    out.ECTop = out.CComTop;
    out.ECWidth = in.LBCWidth - in.ECLeft;
    return out;
}

} // namespace app
