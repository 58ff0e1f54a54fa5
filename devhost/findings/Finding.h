#pragma once
// One finding of the check, as data: its code, where it stands and the values it is about. The
// catalogue (devhost/catalogue/) words it; the writers lay it out.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "devhost/locate/SourceSpan.h"
#include "devhost/text/EnumTable.h"

namespace devhost {

struct Finding {
  enum class Severity { Error, Warning, Note };
  Severity severity = Severity::Warning;
  std::string code;                     // stable name for programs, e.g. "unknown_key"
  std::optional<std::size_t> position;  // the entry's position in "ChatCommands"
  std::string subject;                  // the key concerned, when there is one
  // The values the finding is about, by name, whole: a command as written, a library's own
  // text, a count. Which names a code carries is the catalogue's business.
  std::vector<std::pair<std::string, std::string>> values;
  std::optional<float> received;          // a number as the game receives it
  std::optional<std::string> suggestion;  // the nearest known key or type
  // Where in the file, for a finding about its content: the span in the parser's offsets, the
  // value's JSON pointer, and once located, the place in the stored file.
  std::optional<Span> span;
  std::string pointer;
  std::optional<SourcePlace> place;
  // Syntax errors only, apart so that every other finding stays small: the likely cause, where
  // the parser stopped (its parser offset, then its place), and whether the place to fix runs
  // to the end of its line.
  struct Syntax {
    std::string cause;
    std::size_t stop = 0;
    std::optional<SourcePoint> stopped_at;
    bool to_line_end = false;
  };
  std::shared_ptr<Syntax> syntax;
  // Other places the finding names: the earlier command that shadows this one
  // ("first_registration"), each bracket still open ("open_object", "open_array").
  struct Related {
    Span span;
    std::string role;
    std::optional<SourcePoint> point;
  };
  std::vector<Related> related;

  Finding& With(std::string name, std::string value) {
    values.emplace_back(std::move(name), std::move(value));
    return *this;
  }
  // Empty when the finding has no such value.
  const std::string& Value(std::string_view name) const {
    static const std::string kNone;
    for (const auto& [key, value] : values) {
      if (key == name) {
        return value;
      }
    }
    return kNone;
  }
};

// Each severity's name, for programs.
struct SeverityName {
  Finding::Severity value;
  const char* word;
};
inline constexpr SeverityName kSeverityNames[] = {
    {Finding::Severity::Error, "error"},
    {Finding::Severity::Warning, "warning"},
    {Finding::Severity::Note, "note"},
};
static_assert(InEnumOrder(kSeverityNames));

inline const char* SeverityWord(Finding::Severity severity) {
  return RowOf(kSeverityNames, severity).word;
}

}  // namespace devhost
