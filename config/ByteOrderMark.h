#pragma once
// The UTF-8 byte-order mark (EF BB BF) that Windows editors put at the start of a text file. A
// file may begin with one, which is no part of its text; only one is dropped.

#include <string_view>

namespace quorvane {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// `text` without one byte-order mark at its start.
inline std::string_view WithoutByteOrderMark(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  return text;
}

}  // namespace quorvane
