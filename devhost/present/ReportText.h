#pragma once
// Text as the check's reports show it: quoted, cut short, padded to a column.

#include <cstddef>
#include <string>
#include <string_view>

namespace devhost {

// The text as a JSON string literal, quotes and escapes included; ill-formed UTF-8 shows as
// U+FFFD rather than failing the report.
std::string Quoted(std::string_view text);

// `text` cut to about `limit` bytes at a character boundary, with "..." when cut: long texts
// stay readable in a report.
constexpr std::size_t kClipLimit = 60;
std::string Clipped(std::string_view text, std::size_t limit = kClipLimit);

// Report columns stop growing here, so one long command or key cannot widen every line.
constexpr std::size_t kMaxColumn = 24;

// `text` with blanks after it up to `width` bytes.
std::string Padded(const std::string& text, std::size_t width);

}  // namespace devhost
