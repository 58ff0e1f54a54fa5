#include "devhost/findings/Typable.h"

#include "devhost/text/Text.h"

namespace devhost {

std::string UntypableReason(std::string_view registered) {
  if (registered.empty()) {
    return "it is empty";
  }
  // A typed line reaches a command through its first word only.
  const std::u16string units = Utf8ToUtf16(registered);
  if (FirstWord(units) != units) {
    return "the host matches the first word of a typed line, and a blank or tab ends it";
  }
  for (const char c : registered) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      return "players cannot type a line break or another control character";
    }
  }
  return {};
}

}  // namespace devhost
