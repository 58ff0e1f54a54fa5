#include "devhost/text/ControlCharacter.h"

namespace devhost {

std::string ControlCharactersIn(std::string_view text) {
  std::string found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::string_view character;
    if (IsControlCharacter(byte) && byte < 0x80 && byte != '\n' && byte != '\t') {
      character = text.substr(i, 1);
    } else if (byte == 0xC2 && i + 1 < text.size() &&
               IsControlCharacter(static_cast<unsigned char>(text[i + 1]))) {
      character = text.substr(i++, 2);  // U+0080 to U+009F
    }
    if (!character.empty() && found.find(character) == std::string::npos) {
      found += character;
    }
  }
  return found;
}

}  // namespace devhost
