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

// Where a failed parse stopped, in offsets that count the bytes read after the byte-order mark.
struct ParseStop {
  std::size_t at = 0;                    // the bytes the parser had read, as its error counts them
  std::size_t accepted = 0;              // the end of the last token the parse accepted
  std::optional<std::size_t> separator;  // a ':' or ',' after that token, before the next
  std::optional<std::size_t> next;       // where the token after it starts, when it has come
};

// Told every token of a parse with where it stands, for tools that report places. An offset
// counts the bytes read after the byte-order mark; `end` is exclusive.
class ParseObserver {
 public:
  using Event = nlohmann::detail::parser<nlohmann::json>::parse_event_t;
  virtual ~ParseObserver() = default;
  // One event of the library's callback parser: a bracket, a key or a complete value (for a
  // container, from its opening bracket to its closing one).
  virtual void Token(int depth, Event event, const nlohmann::json& parsed, std::size_t begin,
                     std::size_t end) = 0;
  // The first value ends at `offset`; nothing after it is read.
  virtual void ValueEnd(std::size_t offset) = 0;
  // The parse fails; the error is thrown next. For a number out of range, `stop.at` is where
  // the number starts, plus one; for nesting too deep, the refused bracket, plus one.
  virtual void Failed(const ParseStop& stop) = 0;
};

// Parses the first value of `in`, from where it stands. Throws nlohmann::detail::parse_error
// (101), nlohmann::detail::out_of_range (406), or std::runtime_error for nesting past
// kMaxConfigDepth. An `observer` changes nothing in the result. `in` may have been read past
// the value's end afterwards.
nlohmann::json ParseFirstValue(std::istream& in, ParseObserver* observer = nullptr);

}  // namespace quorvane
