// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/analysis_quantity.h"

namespace recording {

analysis::Quantity analysisQuantity(counter::Quantity quantity) {
    switch (quantity) {
    case counter::Quantity::Frequency:
        return analysis::Quantity::Frequency;
    case counter::Quantity::Period:
        return analysis::Quantity::Period;
    case counter::Quantity::Phase:
        break;
    }
    return analysis::Quantity::Phase;
}

} // namespace recording
