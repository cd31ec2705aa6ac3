// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/fixed_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace plot {

std::string fixedText(long double v, int decimals) {
    decimals = std::max(decimals, 0);
    const double d = static_cast<double>(v);
    if (!std::isfinite(d))
        return std::isnan(d) ? "nan" : (d < 0 ? "-inf" : "inf");
    std::vector<char> buf(static_cast<std::size_t>(decimals) + 330);
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), d, std::chars_format::fixed, decimals);
    std::string text(buf.data(), res.ptr);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

} // namespace plot
