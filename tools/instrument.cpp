// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/instrument.h"

#include "tools/kelvo_instrument.h"

namespace tools {

std::unique_ptr<Instrument> makeInstrument(const Options& options, std::uint64_t seed) {
    return std::make_unique<KelvoInstrument>(options, seed);
}

} // namespace tools
