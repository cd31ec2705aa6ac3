#pragma once

namespace app {

// Texts of the error box for file and number errors.
inline constexpr char FileAccessDenied[] = "File access denied";
inline constexpr char InvalidNumericInput[] = "Invalid numeric input";

} // namespace app
