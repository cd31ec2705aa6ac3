// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/database_file.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace app {
namespace {

// The fields of the file, each with the text of the choice it holds.
template <typename Choice> auto fieldsOf(Choice& choice) {
    auto& settings = choice.settings;
    return std::array{std::pair{"url", &settings.url}, std::pair{"database", &settings.database},
                      std::pair{"bucket", &settings.bucket}, std::pair{"org", &settings.org},
                      std::pair{"token-file", &choice.tokenFile}};
}

} // namespace

std::string databaseFileName(const std::string& settingsFile) {
    return (std::filesystem::path(settingsFile).parent_path() / "database.conf").string();
}

DatabaseChoice readDatabaseFile(const std::string& fileName) {
    DatabaseChoice choice;
    std::ifstream in(fileName);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t equals = line.find('=');
        const std::string name = line.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
        for (const auto& [field, text] : fieldsOf(choice)) {
            if (name == field) {
                *text = value;
            }
        }
        std::string ignored;
        if (name == "tag") {
            if (const auto tag = recording::parseInfluxTag(value, ignored)) {
                choice.settings.tags.push_back(*tag);
            }
        }
    }
    return choice;
}

std::string writeDatabaseFile(const std::string& fileName, const DatabaseChoice& choice) {
    const std::string temporary = fileName + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const auto& [field, text] : fieldsOf(choice)) {
            out << field << '=' << *text << '\n';
        }
        for (const recording::InfluxTag& tag : choice.settings.tags) {
            out << "tag=" << tag.key << '=' << tag.value << '\n';
        }
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
