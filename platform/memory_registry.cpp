#include "platform/memory_registry.h"

#include <algorithm>
#include <cctype>

namespace platform {

namespace {
bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}
} // namespace

MemoryRegistry::Node& MemoryRegistry::Ensure(const std::string& path) {
    const std::string key = NormalizeRegistryPath(path);
    if (auto found = nodes_.find(key); found != nodes_.end()) {
        return found->second;
    }
    if (key.empty()) {
        return nodes_[key];
    }
    // Keep the caller's spelling of the last path element for enumeration.
    std::string trimmed = path;
    while (!trimmed.empty() && trimmed.back() == '\\') {
        trimmed.pop_back();
    }
    const auto cut = trimmed.find_last_of('\\');
    const std::string parentPath =
        cut == std::string::npos ? std::string() : trimmed.substr(0, cut);
    const std::string name = cut == std::string::npos ? trimmed : trimmed.substr(cut + 1);
    Ensure(parentPath).ChildNames.push_back(name);
    return nodes_[key];
}

void MemoryRegistry::AddKey(const std::string& path) {
    Ensure(path);
}

void MemoryRegistry::SetValue(const std::string& path, const std::string& name,
                              const std::string& text) {
    Node& node = Ensure(path);
    for (auto& [valueName, valueText] : node.Values) {
        if (SameName(valueName, name)) {
            valueText = text;
            return;
        }
    }
    node.Values.emplace_back(name, text);
}

std::optional<RegistryKey> MemoryRegistry::OpenKey(const std::string& path) const {
    const auto found = nodes_.find(NormalizeRegistryPath(path));
    if (found == nodes_.end()) {
        return std::nullopt;
    }
    return RegistryKey{found->second.ChildNames, found->second.Values};
}

} // namespace platform
