#pragma once

#include "platform/registry_view.h"

#include <unordered_map>

namespace platform {

// An in-memory registry tree: tests build any machine they need with it. Keys and values are
// enumerated in the order they were added.
class MemoryRegistry : public RegistryView {
public:
    // Creates the key and every missing key above it.
    void AddKey(const std::string& path);
    // Creates the key if needed and sets (or replaces) one text value in it.
    void SetValue(const std::string& path, const std::string& name, const std::string& text);

    std::optional<RegistryKey> OpenKey(const std::string& path) const override;

private:
    struct Node {
        std::vector<std::string> ChildNames; // as given, in insertion order
        std::vector<std::pair<std::string, std::string>> Values;
    };
    Node& Ensure(const std::string& path);

    std::unordered_map<std::string, Node> nodes_; // by normalized path; "" is the root
};

} // namespace platform
