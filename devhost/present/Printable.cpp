#include "devhost/present/Printable.h"

#include <algorithm>
#include <optional>
#include <utility>

#include <fmt/format.h>

namespace devhost {
namespace {

// The escape of the control character that starts at byte `i`, and its length in bytes.
std::optional<std::pair<std::string, std::size_t>> ControlAt(std::string_view text, std::size_t i) {
  const auto byte = static_cast<unsigned char>(text[i]);
  if (IsControlCharacter(byte) && byte < 0x80) {
    return std::make_pair(fmt::format("\\x{:02x}", byte), std::size_t{1});
  }
  if (byte == 0xC2 && i + 1 < text.size()) {
    // U+0080 to U+009F, two bytes in UTF-8.
    const auto next = static_cast<unsigned char>(text[i + 1]);
    if (next >= 0x80 && IsControlCharacter(next)) {
      return std::make_pair(fmt::format("\\u{:04x}", next), std::size_t{2});
    }
  }
  return std::nullopt;
}

}  // namespace

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendPrintable(out, text);
  return out;
}

void AppendPrintable(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    if (const auto control = ControlAt(text, i)) {
      out += control->first;
      i += control->second;
    } else {
      out += text[i++];
    }
  }
}

std::vector<std::string> ControlEscapes(std::string_view text) {
  std::vector<std::string> escapes;
  for (std::size_t i = 0; i < text.size();) {
    const auto control = ControlAt(text, i);
    if (!control) {
      ++i;
      continue;
    }
    if (std::find(escapes.begin(), escapes.end(), control->first) == escapes.end()) {
      escapes.push_back(control->first);
    }
    i += control->second;
  }
  return escapes;
}

}  // namespace devhost
