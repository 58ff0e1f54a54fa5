#include "devhost/session/Terminal.h"

#include <cstdlib>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

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

bool IsTerminal(std::FILE* stream) {
#if defined(_WIN32)
  return _isatty(_fileno(stream)) != 0;
#else
  return isatty(fileno(stream)) != 0;
#endif
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
