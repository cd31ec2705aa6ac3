// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The COM number each device identity has been given, kept for good: a device that is gone keeps
// its number reserved.
using ComNumbers = std::map<std::string, int>; // identity -> number

// Reads the text form: one device a line, "<number> <identity>", with a number from 1 on without
// leading zeros and an identity of printable characters. Comment lines start with "#". Damaged
// lines, and lines that repeat an identity or a number already read, are skipped.
ComNumbers parseComNumbers(std::string_view text);
std::string formatComNumbers(const ComNumbers& numbers);

// The numbers for the present devices `identities` (each listed once), in their order: a
// device's kept number unless a user link claims it (`claimed`), else the lowest number that no
// device, link or earlier identity of the list holds; `numbers` learns the new ones.
std::vector<int> assignComNumbers(ComNumbers& numbers, const std::vector<std::string>& identities,
                                  const std::set<int>& claimed);

} // namespace platform
