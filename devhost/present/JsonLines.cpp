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
  JsonLine out;
  out[first.key()] = first.value();
  out["kind"] = first.value();
  for (auto field = std::next(first); field != line.end(); ++field) {
    out[field.key()] = field.value();
  }
  return JsonText(out);
}

void PutJson(std::FILE* out, const JsonLine& line) {
  PutText(out, JsonLineText(line) + "\n");
}

}  // namespace devhost
