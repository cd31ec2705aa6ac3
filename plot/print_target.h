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
    virtual void SetOrientation(PrintOrientation orientation) = 0;
    // The printable page in printer pixels, for the orientation set last; 0 when unknown.
    virtual int PageWidth() = 0;
    virtual int PageHeight() = 0;
    virtual bool BeginDocument() = 0;
    // Fills the block with the colour, outline included.
    virtual bool FillRect(const PrintRect& rect, Color colour) = 0;
    virtual bool EndDocument() = 0;
    // Drops a document that failed half-way.
    virtual void AbortDocument() = 0;
};

} // namespace plot

// The spellings app/ still uses; they go when it follows the plot namespace.
using PrintOrientation = plot::PrintOrientation;
using PrintRect = plot::PrintRect;
using PrintTarget = plot::PrintTarget;
