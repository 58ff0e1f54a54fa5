#include "devhost/rules/ReplyBraces.h"

#include <stdexcept>

#include "bridge/ReplyFormat.h"

namespace devhost {

std::optional<std::string> Rendered(std::string_view reply) {
  try {
    return quorvane::FormatWithoutArguments(std::string(reply).c_str());
  } catch (const std::runtime_error&) {  // fmt's FormatError, with the plugin's own rules
    return std::nullopt;
  }
}

BraceScan ScanBraces(std::string_view reply) {
  BraceScan scan;
  const std::optional<std::string> shown = Rendered(reply);
  scan.fails = !shown;
  if (shown) {
    scan.shown = *shown;
    scan.has_doubled = *shown != reply.substr(0, reply.find('\0'));
    return scan;
  }
  // Every brace doubled shows each brace as typed; the formatter confirms it.
  std::string escaped;
  for (const char c : reply) {
    escaped.append(c == '{' || c == '}' ? 2 : 1, c);
  }
  if (Rendered(escaped) == std::optional<std::string>(reply.substr(0, reply.find('\0')))) {
    scan.escaped = std::move(escaped);
  }
  return scan;
}

}  // namespace devhost
