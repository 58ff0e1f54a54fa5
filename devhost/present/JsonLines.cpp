#include "devhost/present/JsonLines.h"

#include <iterator>
#include <stdexcept>

#include "devhost/present/Output.h"

namespace devhost {

std::string JsonText(const JsonLine& value) {
  return value.dump(-1, ' ', false, JsonLine::error_handler_t::replace);
}

std::string JsonLineText(const JsonLine& line) {
  const auto first = line.is_object() ? line.begin() : line.end();
  if (first == line.end() || (first.key() != "event" && first.key() != "finding")) {
    throw std::logic_error("a JSON line begins with its \"event\" or \"finding\"");
  }
  // The line as written, with "kind" spliced in after its first member: a copy of the line
  // would cost more than writing it.
  const std::string text = JsonText(line);
  const std::string value = JsonText(first.value());
  const std::size_t after_first = 1 + first.key().size() + 3 + value.size();  // {"key":value
  std::string out;
  out.reserve(text.size() + value.size() + 8);
  out.append(text, 0, after_first).append(",\"kind\":").append(value);
  out.append(text, after_first, std::string::npos);
  return out;
}

void PutJson(std::FILE* out, const JsonLine& line) {
  PutText(out, JsonLineText(line) + "\n");
}

}  // namespace devhost
