// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"

#include <QImage>
#include <optional>
#include <string>
#include <vector>

namespace plot {

// An upright text drawn without antialiasing, as the pixels it sets: rows of runs relative to the
// point it is drawn at. Setting them to the font's colour draws the text as the toolkit does,
// without setting up a painter, shaping and looking up glyphs each time.
class TextStamp {
public:
    // The stamp of `text` in `font` (its colour and direction aside), or none where the toolkit
    // would draw some pixel only partly, which only its own drawing gets right.
    static std::optional<TextStamp> of(const std::string& text, const Font& font);

    // Sets the text's pixels with its top-left corner at (x, y) to `colour`, clipped to the image.
    void drawOn(QImage& image, int x, int y, Color colour) const;

private:
    struct Run {
        int x;
        int y;
        int length;
    };
    std::vector<Run> runs_;
};

} // namespace plot
