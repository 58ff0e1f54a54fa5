#pragma once
// Reads the first JSON value of a stream the way the JSON library's own stream extraction
// (operator>>) does: one byte-order mark is dropped, a repeated key keeps its first value and
// nothing after the value is read. Errors are the library's own. It adds a nesting limit, which
// the library's recursive parser lacks.

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace quorvane {

// Containers nested deeper than this are refused before the parser recurses into them: it
// recurses once per level and would exhaust the stack, as would copying such a document.
inline constexpr std::size_t kMaxConfigDepth = 512;

// Told what a parse passes over in silence, for tools that report it. An offset counts the
// bytes read after the byte-order mark, up to and including the one concerned.
class ParseObserver {
 public:
  virtual ~ParseObserver() = default;
  // `key` is given again in one object, ending at `offset`; its value `ignored` is skipped.
  // `entry` is the position in "ChatCommands" of the entry that holds the object, when there
  // is one.
  virtual void RepeatedKey(std::size_t offset, const std::string& key,
                           const nlohmann::json& ignored, std::optional<std::size_t> entry) = 0;
  // The first value ends at `offset`; nothing after it is read.
  virtual void ValueEnd(std::size_t offset) = 0;
  // The parse fails at `offset` (for a number out of range, where the number starts); the
  // error is thrown next.
  virtual void Failed(std::size_t offset) = 0;
};

// Parses the first value of `in`, from where it stands. Throws nlohmann::detail::parse_error
// (101), nlohmann::detail::out_of_range (406), or std::runtime_error for nesting past
// kMaxConfigDepth. An `observer` changes nothing in the result. `in` may have been read past
// the value's end afterwards.
nlohmann::json ParseFirstValue(std::istream& in, ParseObserver* observer = nullptr);

}  // namespace quorvane
