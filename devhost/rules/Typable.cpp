#include "devhost/rules/Typable.h"

#include "devhost/text/Text.h"

namespace devhost {

Untypable UntypableOf(std::string_view registered) {
  if (registered.empty()) {
    return Untypable::Empty;
  }
  // A typed line reaches a command through its first word only.
  const std::u16string units = Utf8ToUtf16(registered);
  if (FirstWord(units) != units) {
    return Untypable::Blank;
  }
  for (const char c : registered) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      return Untypable::Control;
    }
  }
  return Untypable::No;
}

}  // namespace devhost
