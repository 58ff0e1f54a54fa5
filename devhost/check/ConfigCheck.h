#pragma once
// Static findings on a configuration file: everything that parses or loads but is very likely
// not what the operator meant, each with the entry's position and a hint. The file is read
// the way the plugin reads it (first JSON value only, first of repeated keys).

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "devhost/check/EntryRules.h"

namespace devhost {

struct Finding {
  enum class Severity { Error, Warning, Note };
  Severity severity = Severity::Warning;
  std::string code;                       // stable name for programs, e.g. "unknown_key"
  std::optional<std::size_t> position;    // the entry's position in "ChatCommands"
  std::string subject;                    // the key or value concerned
  std::string text;                       // what is wrong
  std::string hint;                       // what to do about it; may be empty
  std::optional<std::string> suggestion;  // the nearest known key or type
  std::optional<std::size_t> line;        // parse errors only
  std::optional<std::size_t> column;
};

const char* SeverityName(Finding::Severity severity);

struct ConfigAnalysis {
  bool opened = false;
  // The document as the plugin holds it after a successful load; empty when it fails to load.
  std::optional<nlohmann::json> document;
  std::vector<Finding> findings;
};

// `bytes` is the whole file, byte-order mark included.
ConfigAnalysis AnalyseConfigText(std::string_view bytes);
ConfigAnalysis AnalyseConfigFile(const std::filesystem::path& path);

// The plugin's config.json under a server folder.
std::filesystem::path ConfigPathOf(const std::string& server_dir);

// The entries of "ChatCommands" in the order the plugin registers them.
std::vector<const nlohmann::json*> EntriesOf(const nlohmann::json& document);

}  // namespace devhost
