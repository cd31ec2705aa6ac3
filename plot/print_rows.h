// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/print_layout.h"
#include "plot/print_target.h"

#include <functional>

class QImage;

namespace plot {

// The longest picture row the printout handles; a wider picture fails to print.
constexpr int kLongestPrintRow = 8001;

// Prints row y of a 32-bit picture: every run of equal pixels that are not pure white becomes one
// filled block of CellSize x CellSize printer pixels per picture pixel.
bool printPictureRow(const QImage& picture, int y, const PrintLayout& layout, PrintTarget& printer);

// Prints the whole picture as one document, calling beforeRow (when given) ahead of each row.
// A failure drops the document and returns false.
bool printPicture(const QImage& picture, const PrintLayout& layout, PrintTarget& printer,
                  const std::function<void(int y)>& beforeRow);

} // namespace plot
