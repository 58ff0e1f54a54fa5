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

#include "devhost/present/EnumTable.h"
#include "devhost/present/Tone.h"

namespace quorvane {
struct ConfigFileRead;  // config/ConfigFile.h
}  // namespace quorvane

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

// Each severity's word (for programs and the page), its plural, the report's title and style.
struct SeverityWords {
  Finding::Severity value;
  const char* word;
  const char* plural;
  const char* title;
  Tone tone;
};
inline constexpr SeverityWords kSeverities[] = {
    {Finding::Severity::Error, "error", "errors", "Errors:", Tone::Red},
    {Finding::Severity::Warning, "warning", "warnings", "Warnings:", Tone::Yellow},
    {Finding::Severity::Note, "note", "notes", "Notes:", Tone::Bold},
};
static_assert(InEnumOrder(kSeverities));

inline const char* SeverityName(Finding::Severity severity) {
  return RowOf(kSeverities, severity).word;
}

// The document as the plugin holds it after a successful load (devhost/findings/LoadedDocument.h).
struct LoadedDocument;

struct ConfigAnalysis {
  bool opened = false;
  // Null when the file fails to load.
  std::shared_ptr<const LoadedDocument> document;
  std::vector<Finding> findings;
};

// `bytes` is the whole file, byte-order mark included.
ConfigAnalysis AnalyseConfigText(std::string_view bytes);
ConfigAnalysis AnalyseConfigFile(const std::filesystem::path& path);

// Why a file could not be read, in the check's words with its remedy (the plugin itself only
// says "Can't open config.json"). `file` is the failed read.
Finding OpenFailure(const std::filesystem::path& path, const quorvane::ConfigFileRead& file);

// The plugin's config.json under a server folder.
std::filesystem::path ConfigPathOf(const std::string& server_dir);

// What the plugin loads from `bytes` (the whole file), or null when it refuses them.
std::shared_ptr<const LoadedDocument> LoadDocument(std::string_view bytes);

}  // namespace devhost
