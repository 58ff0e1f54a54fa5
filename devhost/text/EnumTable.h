#pragma once
// Tables that give each value of an enum its words: one row per value, in the enum's order,
// each row holding its value first. A value finds its row by position; a table checked with
// InEnumOrder fails to compile when its rows are out of order.

#include <cstddef>
#include <string_view>

namespace devhost {

template <typename Row, std::size_t N>
constexpr bool InEnumOrder(const Row (&rows)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (static_cast<std::size_t>(rows[i].value) != i) {
      return false;
    }
  }
  return true;
}

template <typename Row, std::size_t N, typename Enum>
constexpr const Row& RowOf(const Row (&rows)[N], Enum value) {
  return rows[static_cast<std::size_t>(value)];
}

// The row whose `word` is `word`, or null.
template <typename Row, std::size_t N>
constexpr const Row* RowWithWord(const Row (&rows)[N], std::string_view word) {
  for (const Row& row : rows) {
    if (word == row.word) {
      return &row;
    }
  }
  return nullptr;
}

}  // namespace devhost
