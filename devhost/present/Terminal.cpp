#include "devhost/present/Terminal.h"

#include <cstdlib>

#include "devhost/os/Console.h"

namespace devhost {
std::optional<ColourMode> ParseColourMode(const std::string& text) {
  if (text == "auto") {
    return ColourMode::Auto;
  }
  if (text == "always") {
    return ColourMode::Always;
  }
  if (text == "never") {
    return ColourMode::Never;
  }
  return std::nullopt;
}

bool ColourWanted(ColourMode mode, std::FILE* stream) {
  switch (mode) {
    case ColourMode::Always:
      return true;
    case ColourMode::Never:
      return false;
    case ColourMode::Auto:
      break;
  }
  const char* no_colour = std::getenv("NO_COLOR");
  if (no_colour != nullptr && *no_colour != '\0') {
    return false;
  }
  return IsTerminal(stream);
}

}  // namespace devhost
