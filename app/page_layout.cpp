// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/page_layout.h"

#include <algorithm>

namespace app {

ConnectPageLayout connectPageLayout(int pageHeight, const BottomRow& row) {
    ConnectPageLayout out;
    out.buttonTop = pageHeight - row.buttonHeight - 4;
    out.selectorTop = out.buttonTop + (row.buttonHeight - row.selectorHeight) / 2;
    out.logHeight = out.buttonTop - 4;
    out.checkBoxTop = out.selectorTop + (row.selectorHeight - row.checkBoxHeight) / 2;
    return out;
}

CommandsPageLayout commandsPageLayout(int pageWidth, int pageHeight, const BottomRow& row,
                                      int labelHeight, int editLeft) {
    const ConnectPageLayout connect = connectPageLayout(pageHeight, row);
    CommandsPageLayout out;
    out.replyListHeight = connect.logHeight;
    out.labelTop = connect.checkBoxTop + (row.checkBoxHeight - labelHeight) / 2;
    out.editTop = connect.selectorTop;
    out.editWidth = pageWidth - editLeft;
    return out;
}

DisplayPageLayout displayPageLayout(int pageWidth, int pageHeight,
                                    const MeasureBigDigits& measure) {
    DisplayPageLayout out;
    // A page narrower than 20 px would ask for a font of 0 points and a width of 0 to divide by.
    const int firstSize = std::max(1, pageWidth / 20);
    const int digitsWidth = measure(firstSize, "123456789012345678").width;
    out.fontSize = digitsWidth > 0
                       ? std::max(1, static_cast<int>(static_cast<long long>(firstSize) *
                                                      pageWidth / digitsWidth))
                       : firstSize;
    out.top = (pageHeight - measure(out.fontSize, "1").height) / 2;
    out.left = digitsWidth / 20;
    return out;
}

} // namespace app
