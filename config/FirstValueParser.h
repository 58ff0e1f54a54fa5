#pragma once
// Builds a document from the first JSON value of a text: a repeated key keeps its first value
// and whatever follows the value is never looked at. Errors are the JSON library's own.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

// Containers nested deeper than this are refused: copying such a document would recurse once
// per level and could exhaust the stack.
inline constexpr std::size_t kMaxConfigDepth = 512;

// The text after an optional UTF-8 byte-order mark (EF BB BF). Only one is skipped.
std::string_view WithoutByteOrderMark(std::string_view text);

// Told what a parse passes over in silence, for tools that report it. An offset counts the
// bytes of the parsed text read up to and including the one concerned.
class ParseObserver {
 public:
  virtual ~ParseObserver() = default;
  // `key` is given again in one object, ending at `offset`; its value `ignored` is skipped
  // (a skipped object or array is given empty). `entry` is the position in "ChatCommands" of
  // the entry that holds the object, when there is one.
  virtual void RepeatedKey(std::size_t offset, const std::string& key,
                           const nlohmann::json& ignored, std::optional<std::size_t> entry) = 0;
  // The first value ends at `offset`; nothing after it is read.
  virtual void ValueEnd(std::size_t offset) = 0;
  // The parse fails at `offset`; the error is thrown next.
  virtual void Failed(std::size_t offset) = 0;
};

// Parses `text`, the file without its byte-order mark. Throws nlohmann::detail::parse_error
// (101), also for a mark still at the start of `text` (a file may begin with one only),
// nlohmann::detail::out_of_range (406), or std::runtime_error for nesting past kMaxConfigDepth.
// An `observer` changes nothing in the result.
nlohmann::json ParseFirstValue(std::string_view text, ParseObserver* observer = nullptr);
