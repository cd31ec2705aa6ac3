// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/colors.h"

namespace plot {

enum class PrintOrientation { Portrait, Landscape };

// A block of printer pixels; the right and bottom edges lie outside it.
struct PrintRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const PrintRect&, const PrintRect&) = default;
};

// The printer as the graph output sees it: a page measured in printer pixels that takes filled
// rectangles. Colours are canvas colours (red in the low byte).
class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    virtual void setOrientation(PrintOrientation orientation) = 0;
    // The printable page in printer pixels, for the orientation set last; 0 when unknown.
    virtual int pageWidth() = 0;
    virtual int pageHeight() = 0;
    virtual bool beginDocument() = 0;
    // Fills the block with the colour, outline included.
    virtual bool fillRect(const PrintRect& rect, Color colour) = 0;
    virtual bool endDocument() = 0;
    // Drops a document that failed half-way.
    virtual void abortDocument() = 0;
};

} // namespace plot
