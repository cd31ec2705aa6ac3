// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/instrument.h"

#include "tools/kelvo_instrument.h"
#include "tools/tic_instrument.h"

namespace tools {

std::unique_ptr<Instrument> makeInstrument(const Options& options, std::uint64_t seed) {
    if (options.instrument == InstrumentKind::Tic) {
        return std::make_unique<TicInstrument>(options, seed);
    }
    return std::make_unique<KelvoInstrument>(options, seed);
}

} // namespace tools
