// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"

#include <gtest/gtest.h>

#include <string>

namespace plot {

// Checks on pictures drawn by the engine, for the axis tests.

// The picture shows exactly `text` in `colour` on white with its top-left corner at (left, top):
// every pixel of the text's box equals that of the text drawn alone in the same font.
::testing::AssertionResult textAt(const Canvas& picture, int left, int top, const std::string& text,
                                  Color colour);

} // namespace plot
