#pragma once
// Static findings on a configuration file: everything that parses or loads but is very likely
// not what the operator meant, each with the entry's position and a hint. The file is read
// the way the plugin reads it (first JSON value only, first of repeated keys), with the
// plugin's own JSON release; this header names none of its types.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/findings/Finding.h"
#include "devhost/locate/SourceSpan.h"

namespace quorvane {
struct ConfigFileRead;  // config/ConfigFile.h
}  // namespace quorvane

namespace devhost {

// The document as the plugin holds it after a successful load (devhost/findings/LoadedDocument.h).
struct LoadedDocument;

// Where an entry's "Command" value stands.
struct CommandPlace {
  SourcePoint start;
  SourcePoint end;
};

struct ConfigAnalysis {
  bool opened = false;
  // Null when the file fails to load.
  std::shared_ptr<const LoadedDocument> document;
  std::vector<Finding> findings;
  // By entry position; empty places for entries without a "Command" string.
  std::vector<std::optional<CommandPlace>> commands;
};

// `bytes` is the whole file, byte-order mark included. `excerpts` asks for each finding's source
// line, which only a report for people shows.
ConfigAnalysis AnalyseConfigText(std::string_view bytes, bool excerpts = false);
ConfigAnalysis AnalyseConfigFile(const std::filesystem::path& path, bool excerpts = false);

// Why a file could not be read, in the check's words with its remedy (the plugin itself only
// says "Can't open config.json"). `file` is the failed read.
Finding OpenFailure(const std::filesystem::path& path, const quorvane::ConfigFileRead& file);

// The plugin's config.json under a server folder.
std::filesystem::path ConfigPathOf(const std::string& server_dir);

}  // namespace devhost
