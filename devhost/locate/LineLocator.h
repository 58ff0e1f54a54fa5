#pragma once
// Turns parser offsets into places in the stored file, all in one pass over it in offset order:
// a compact configuration is one line of several megabytes, so no place is ever found by
// counting from the start of its line again.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/locate/SourceSpan.h"

namespace devhost {

class LineLocator {
 public:
  // A span to place; `excerpt` asks for the source line around its start as well, and
  // `to_line_end` stretches its end to the end of its line.
  std::size_t Add(Span span, bool excerpt = false, bool to_line_end = false);
  // The first text at or after `offset` that is not whitespace: its place, and as its excerpt
  // at most `reach` bytes of it, up to the end of its line (none when there is no such text).
  // At most one such request; the walk reads no further than it needs.
  std::size_t AddTextAfter(std::size_t offset, std::size_t reach);
  // Places every span added, reading `path` once, whose parser read it as the plugin does: in
  // text mode. An empty result means the file could not be read again.
  std::vector<SourcePlace> Locate(const std::filesystem::path& path) const;
  // The same for bytes the parser read as they are.
  std::vector<SourcePlace> LocateIn(std::string_view content) const;

  // What the walk is asked, as Add and AddTextAfter record it.
  struct Request {
    Span span;
    bool excerpt;
    bool to_line_end;
  };
  struct TextAfter {
    std::size_t request;
    std::size_t from;
    std::size_t reach;
  };

 private:
  template <typename Feed>
  std::vector<SourcePlace> Run(bool joins_crlf, const Feed& feed) const;

  std::vector<Request> requests_;
  std::optional<TextAfter> text_after_;
};

}  // namespace devhost
