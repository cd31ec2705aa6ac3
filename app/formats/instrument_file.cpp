// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/instrument_file.h"

#include "counter/instruments.h"
#include "platform/replacing_file.h"

#include <filesystem>
#include <fstream>

namespace app {

std::string instrumentFileName(const std::string& settingsFile) {
    return (std::filesystem::path(settingsFile).parent_path() / "instrument.conf").string();
}

const counter::Instrument& readInstrumentFile(const std::string& fileName) {
    std::ifstream in(fileName);
    std::string name;
    std::getline(in, name);
    while (!name.empty() && (name.back() == '\r' || name.back() == ' ')) {
        name.pop_back();
    }
    const counter::Instrument* named = counter::findInstrument(name);
    return named ? *named : counter::defaultInstrument();
}

std::string writeInstrumentFile(const std::string& fileName,
                                const counter::Instrument& instrument) {
    platform::ReplacingFile file(fileName);
    const bool written = file.open().empty() && file.write(std::string(instrument.name()) + '\n') &&
                         file.commit().empty();
    return written ? std::string() : std::string("File access denied");
}

} // namespace app
