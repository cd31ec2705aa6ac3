// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace app {

// Texts of the error box for file and number errors.
inline constexpr char kFileAccessDenied[] = "File access denied";
inline constexpr char kInvalidNumericInput[] = "Invalid numeric input";
// A measurement whose start is not known (a .csv file has none) has no UTC times.
inline constexpr char kUnknownStartTime[] =
    "The start time of this measurement is not known, so it has no UTC times";

} // namespace app
