// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace app {

// Texts of the error box for file and number errors.
inline constexpr char kFileAccessDenied[] = "File access denied";
inline constexpr char kInvalidNumericInput[] = "Invalid numeric input";

} // namespace app
