#include "platform/registry_view.h"
#include "platform/ascii_case.h"

#include <algorithm>
#include <cctype>
#include <mutex>

namespace platform {

namespace {

class EmptyRegistry : public RegistryView {
public:
    std::optional<RegistryKey> OpenKey(const std::string&) const override { return std::nullopt; }
};

std::mutex registryMutex;
std::shared_ptr<const RegistryView>& InstalledRegistry() {
    static std::shared_ptr<const RegistryView> registry = std::make_shared<EmptyRegistry>();
    return registry;
}

} // namespace

std::string RegistryKey::Text(const std::string& name) const {
    const std::string wanted = AsciiLower(name);
    for (const auto& [valueName, text] : Values) {
        if (AsciiLower(valueName) == wanted) {
            return text;
        }
    }
    return {};
}

std::string NormalizeRegistryPath(const std::string& path) {
    // Runs for every key a discovery opens: ASCII folding only, which also keeps the result
    // independent of the C locale.
    std::string out(path.size(), '\0');
    std::size_t length = 0;
    for (const char c : path) {
        if (c != '\\') {
            out[length++] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        } else if (length != 0 && out[length - 1] != '\\') {
            out[length++] = '\\';
        }
    }
    if (length != 0 && out[length - 1] == '\\') {
        --length;
    }
    out.resize(length);
    return out;
}

const RegistryView& SystemRegistry() {
    std::lock_guard lock(registryMutex);
    return *InstalledRegistry();
}

void InstallSystemRegistry(std::shared_ptr<const RegistryView> registry) {
    std::lock_guard lock(registryMutex);
    InstalledRegistry() = std::move(registry);
}

} // namespace platform
