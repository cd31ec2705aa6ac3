// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/instrument_file.h"

#include "counter/instruments.h"

#include <cstdio>
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
    const std::string temporary = fileName + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << instrument.name() << '\n';
        if (!out.flush()) {
            std::remove(temporary.c_str());
            return "File access denied";
        }
    }
    if (std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        std::remove(temporary.c_str());
        return "File access denied";
    }
    return {};
}

} // namespace app
