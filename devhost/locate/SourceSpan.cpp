#include "devhost/locate/SourceSpan.h"

namespace devhost {

std::string PointerSegment(std::string_view key) {
  std::string segment = "/";
  for (const char c : key) {
    if (c == '~') {
      segment += "~0";
    } else if (c == '/') {
      segment += "~1";
    } else {
      segment += c;
    }
  }
  return segment;
}

}  // namespace devhost
