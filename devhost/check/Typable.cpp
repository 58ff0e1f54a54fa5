#include "devhost/check/Typable.h"

namespace devhost {

std::string UntypableReason(std::string_view registered) {
  if (registered.empty()) {
    return "it is empty";
  }
  for (const char c : registered) {
    if (c == ' ' || c == '\t') {
      return "the host matches the first word of a typed line, and a blank or tab ends it";
    }
  }
  for (const char c : registered) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      return "players cannot type a line break or another control character";
    }
  }
  return {};
}

}  // namespace devhost
