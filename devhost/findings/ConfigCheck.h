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

#include "devhost/locate/SourceSpan.h"
#include "devhost/present/Tone.h"
#include "devhost/text/EnumTable.h"

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
  // Where in the file, for a finding about its content: the span in the parser's offsets, the
  // value's JSON pointer, and once located, the place in the stored file.
  std::optional<Span> span;
  std::string pointer;
  bool span_to_line_end = false;
  std::optional<SourcePlace> place;
  // Syntax errors: the likely cause, and where the parser stopped (its parser offset, then its
  // place) when that is not the place to fix.
  std::string cause;
  std::optional<std::size_t> parser_stop;
  std::optional<SourcePoint> parser_place;
  // Other places the finding names, such as the earlier command that shadows this one.
  struct Related {
    Span span;
    std::string what;  // e.g. "first registered here"
    std::optional<SourcePoint> point;
  };
  std::vector<Related> related;
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

// What the plugin loads from `bytes` (the whole file), or null when it refuses them.
std::shared_ptr<const LoadedDocument> LoadDocument(std::string_view bytes);

}  // namespace devhost
