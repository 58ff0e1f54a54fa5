#pragma once
// Where something stands in config.json. A span is found during the parse, in the parser's
// offsets (bytes after the byte-order mark, as the plugin's read hands them over); a place is
// the same span in the stored file, with lines and columns as editors count them.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace devhost {

// Parser offsets; `end` is exclusive, and equal to `begin` for an insertion point.
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// One point of the stored file: `offset` counts its bytes, byte-order mark included; `line` and
// `column` count from 1, columns in code points from the character after any byte-order mark.
struct SourcePoint {
  std::size_t offset = 0;
  std::size_t line = 1;
  std::size_t column = 1;
};

// The source line around a place, for people: at most a screen's width of it, cut around the
// place, and where the span lies in those bytes.
struct SourceExcerpt {
  std::string text;            // the stored bytes, line break excluded
  std::size_t mark_begin = 0;  // byte offsets of the span within `text`
  std::size_t mark_end = 0;
  bool cut_before = false;
  bool cut_after = false;
};

struct SourcePlace {
  SourcePoint start;
  SourcePoint end;
  // Only a report for people asks for it; shared, as findings are copied whole.
  std::shared_ptr<SourceExcerpt> excerpt;
};

// A JSON pointer (RFC 6901) segment: '~' as "~0" and '/' as "~1".
std::string PointerSegment(std::string_view key);

}  // namespace devhost
