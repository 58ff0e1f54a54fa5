#pragma once
// The document as the plugin holds it, in the plugin's JSON release: only the findings, which
// are built on that release too, look inside.

#include <vector>

#include <nlohmann/json.hpp>

namespace devhost {

struct LoadedDocument {
  nlohmann::json json;
};

// The entries of "ChatCommands" in the order the plugin registers them.
std::vector<const nlohmann::json*> EntriesOf(const nlohmann::json& document);

}  // namespace devhost
