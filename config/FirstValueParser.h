#pragma once
// Builds a document from the first JSON value of a text: a repeated key keeps its first value
// and whatever follows the value is never looked at. Errors are the JSON library's own.

#include <cstddef>
#include <string_view>

#include <nlohmann/json.hpp>

// Containers nested deeper than this are refused: copying such a document would recurse once
// per level and could exhaust the stack.
inline constexpr std::size_t kMaxConfigDepth = 512;

// The text after an optional UTF-8 byte-order mark (EF BB BF). Only one is skipped.
std::string_view WithoutByteOrderMark(std::string_view text);

// Parses `text`, the file without its byte-order mark. Throws nlohmann::detail::parse_error
// (101), also for a mark still at the start of `text` (a file may begin with one only),
// nlohmann::detail::out_of_range (406), or std::runtime_error for nesting past kMaxConfigDepth.
nlohmann::json ParseFirstValue(std::string_view text);
