#include "config/CommandText.h"

namespace quorvane {

std::string CommandTextAsRegistered(std::string_view command) {
  std::string registered;
  registered.reserve(command.size());
  for (const char c : command) {
    if (c == '\0') {
      break;
    }
    registered += static_cast<unsigned char>(c) > 0x7F ? '?' : c;
  }
  return registered;
}

}  // namespace quorvane
