#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// One opened key of the read-only device registry: its subkey names and its text values, each in
// the order the registry enumerates them.
struct RegistryKey {
    std::vector<std::string> SubKeys;
    std::vector<std::pair<std::string, std::string>> Values; // name, text

    // The text of a value (names compare without regard to letter case); empty when absent.
    std::string Text(const std::string& name) const;
};

// The machine's device registry as the serial and discovery code read it: keys under
// HKEY_LOCAL_MACHINE addressed by backslash paths. Paths compare without regard to letter case,
// and leading or trailing backslashes do not matter.
class RegistryView {
public:
    virtual ~RegistryView() = default;
    // The key at `path`, or nothing when it does not open.
    virtual std::optional<RegistryKey> OpenKey(const std::string& path) const = 0;
};

// Lower-cased path with single separators and no leading or trailing backslash.
std::string NormalizeRegistryPath(const std::string& path);

// The registry the program reads. Until one is installed it is an empty registry; the program
// installs the Linux view at start-up, tests install in-memory machines.
const RegistryView& SystemRegistry();
void InstallSystemRegistry(std::shared_ptr<const RegistryView> registry);

} // namespace platform
