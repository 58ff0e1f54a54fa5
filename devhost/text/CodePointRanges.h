#pragma once
// A Unicode property as a sorted table of code point ranges, looked up by binary search.

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace devhost {

struct CodePointRange {
  char32_t first;
  char32_t last;
};

template <std::size_t N>
bool InRanges(const CodePointRange (&ranges)[N], char32_t c) {
  const auto after = std::upper_bound(
      std::begin(ranges), std::end(ranges), c,
      [](char32_t value, const CodePointRange& range) { return value < range.first; });
  return after != std::begin(ranges) && c <= std::prev(after)->last;
}

}  // namespace devhost
