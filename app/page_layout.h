// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace app {

// Heights of the controls in the bottom row of the "Connect" page: the connect button, the port
// selector and the auto-identify box. The "Commands" page lines its value row up with them.
struct BottomRow {
    int buttonHeight = 0;
    int selectorHeight = 0;
    int checkBoxHeight = 0;
};

// Where the layout rule puts the controls of the "Connect" page (tops and the log's height).
struct ConnectPageLayout {
    int buttonTop = 0;
    int selectorTop = 0;
    int checkBoxTop = 0;
    int logHeight = 0;
};

struct CommandsPageLayout {
    int replyListHeight = 0;
    int labelTop = 0;
    int editTop = 0;
    int editWidth = 0;
};

struct TextExtent {
    int width = 0;
    int height = 0;
};

// The pixel extent of a text in the big-digit font at a size in points.
using MeasureBigDigits = std::function<TextExtent(int pointSize, const std::string& text)>;

struct DisplayPageLayout {
    int fontSize = 0; // points
    int top = 0;
    int left = 0;
};

// The layout rule of the pages, from their client size in pixels. "Half of" divides by 2
// toward zero.
ConnectPageLayout connectPageLayout(int pageHeight, const BottomRow& row);
CommandsPageLayout commandsPageLayout(int pageWidth, int pageHeight, const BottomRow& row,
                                      int labelHeight, int editLeft);
// The big digits are sized so that 18 of them fill the page's width.
DisplayPageLayout displayPageLayout(int pageWidth, int pageHeight, const MeasureBigDigits& measure);

} // namespace app
