// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/group_digits.h"

namespace app {

std::string groupDigits(const std::string& text) {
    // Positions count from 1 as in the counter's manual examples.
    const std::size_t length = text.size();
    const std::size_t dot = text.find('.');
    const std::size_t p = dot == std::string::npos ? length + 1 : dot + 1;
    std::string fraction;
    for (std::size_t i = p; i <= length; ++i) {
        fraction += text[i - 1];
        if (i > p && (i - p) % 3 == 0) {
            fraction += ' ';
        }
    }
    std::string integer;
    for (std::size_t j = p - 1; j >= 1; --j) {
        integer.insert(integer.begin(), text[j - 1]);
        if ((p - j) % 3 == 0) {
            integer.insert(integer.begin(), ' ');
        }
    }
    return integer + fraction;
}

} // namespace app
