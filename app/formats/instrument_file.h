// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/instrument.h"

#include <string>

namespace app {

// The instrument the window connects to is kept in a file of its own, "instrument.conf" beside
// the settings file (which keeps its nine lines): the profile's name on one line.
std::string instrumentFileName(const std::string& settingsFile);

// The instrument the file names; the default instrument when there is no file or it names none.
const counter::Instrument& readInstrumentFile(const std::string& fileName);
// Written through a temporary file renamed over the old one. Returns "" or "File access denied".
std::string writeInstrumentFile(const std::string& fileName, const counter::Instrument& instrument);

} // namespace app
