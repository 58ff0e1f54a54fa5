#include "devhost/present/ReportText.h"

#include "devhost/present/JsonLines.h"

namespace devhost {

std::string Quoted(std::string_view text) {
  return JsonText(std::string(text));
}

std::string Clipped(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) {
    return std::string(text);
  }
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
    --end;  // not inside a UTF-8 sequence
  }
  return std::string(text.substr(0, end)) + "...";
}

std::string Padded(const std::string& text, std::size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

}  // namespace devhost
