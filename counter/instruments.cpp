// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/instruments.h"

#include "counter/kelvo_profile.h"
#include "counter/tic_profile.h"

namespace counter {
namespace {

const KelvoProfile kKelvo;
const TicProfile kTic;
const Instrument* const kInstruments[] = {&kKelvo, &kTic};

} // namespace

std::span<const Instrument* const> instruments() {
    return kInstruments;
}

const Instrument& defaultInstrument() {
    return kKelvo;
}

const Instrument* findInstrument(std::string_view name) {
    for (const Instrument* instrument : kInstruments) {
        if (instrument->name() == name) {
            return instrument;
        }
    }
    return nullptr;
}

} // namespace counter
