// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace app {

// Drops leading blanks, tabs, NULs and separator characters.
std::string trimLeading(const std::string& text, char separator = ' ');

// Cuts the next token off the front of `line` and leaves the rest in it. A token in double
// quotes runs to the closing quote and keeps its case; any other token ends before a blank, tab
// or separator and is lower-cased. An empty or blank line gives an empty token.
std::string nextToken(std::string& line, char separator = ' ');

// Every `find` in `text` becomes `replacement`.
std::string replaceChar(std::string text, char find, char replacement);

} // namespace app
