#include "devhost/cli/Printable.h"

#include <iterator>

#include <fmt/format.h>

namespace devhost {

bool IsControlCharacter(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendPrintable(out, text);
  return out;
}

void AppendPrintable(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (IsControlCharacter(byte) && byte < 0x80) {
      fmt::format_to(std::back_inserter(out), "\\x{:02x}", byte);
    } else if (byte == 0xC2 && i + 1 < text.size() &&
               IsControlCharacter(static_cast<unsigned char>(text[i + 1])) &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80) {
      // U+0080 to U+009F, two bytes in UTF-8.
      fmt::format_to(std::back_inserter(out), "\\u{:04x}", static_cast<unsigned char>(text[i + 1]));
      ++i;
    } else {
      out += text[i];
    }
  }
}

}  // namespace devhost
