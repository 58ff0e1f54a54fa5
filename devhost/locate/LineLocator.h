#pragma once
// Turns parser offsets into places in the stored file, all in one pass over it in offset order:
// a compact configuration is one line of several megabytes, so no place is ever found by
// counting from the start of its line again.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "devhost/locate/SourceSpan.h"

namespace devhost {

// Each place is written where the caller keeps it, so a file of many findings is not placed
// into a second array first. Whatever a request names must outlive Locate.
class LineLocator {
 public:
  void Reserve(std::size_t requests) { requests_.reserve(requests); }
  // A span, into `into`; `excerpt` asks for the source line around its start as well, and
  // `to_line_end` stretches its end to the end of its line.
  void Add(Span span, SourcePlace& into, bool excerpt = false, bool to_line_end = false);
  // A span's two ends.
  void Add(Span span, SourcePoint& start, SourcePoint& end);
  // One point.
  void Add(std::size_t offset, SourcePoint& into);
  // The first text at or after `offset` that is not whitespace: its place, and as its excerpt
  // at most `reach` bytes of it, up to the end of its line (no excerpt when there is no such
  // text). At most one such request; the walk reads no further than it needs.
  void AddTextAfter(std::size_t offset, std::size_t reach, SourcePlace& into);
  // Places every request, reading `path` once, whose parser read it as the plugin does: in
  // text mode. False when the file could not be read again; what was written is then partial.
  bool Locate(const std::filesystem::path& path);
  // The same for bytes the parser read as they are.
  bool LocateIn(std::string_view content);

  // What the walk is asked, as Add records it: where each end goes, and the excerpt if asked.
  struct Request {
    Span span;
    SourcePoint* start;
    SourcePoint* end;                         // null for a point
    std::shared_ptr<SourceExcerpt>* excerpt;  // null unless asked
    bool to_line_end;
  };
  struct TextAfter {
    std::size_t from;
    std::size_t reach;
    SourcePlace* into;
  };

 private:
  template <typename Feed>
  bool Run(bool joins_crlf, const Feed& feed);

  std::vector<Request> requests_;
  std::optional<TextAfter> text_after_;
};

}  // namespace devhost
