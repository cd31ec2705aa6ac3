// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/instrument.h"

namespace counter {

const InstrumentCommand* findCommand(const Instrument& instrument, SetupRole role,
                                     std::string_view setting) {
    for (const InstrumentCommand& command : instrument.commands()) {
        if (command.role == role && command.setting == setting) {
            return &command;
        }
    }
    return nullptr;
}

} // namespace counter
