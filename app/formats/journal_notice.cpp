// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/journal_notice.h"

namespace app {

std::string journalStoppedNotice(const std::string& reason) {
    std::string why = reason;
    while (!why.empty() && (why.back() == '.' || why.back() == ' ')) {
        why.pop_back();
    }
    if (!why.empty() && why[0] >= 'A' && why[0] <= 'Z') {
        why[0] = static_cast<char>(why[0] - 'A' + 'a');
    }
    return "Recording journal stopped: " + why + ". The measurement goes on in memory.";
}

} // namespace app
