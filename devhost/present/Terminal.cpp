#include "devhost/present/Terminal.h"

#include <cstdlib>

#include "devhost/os/Console.h"

namespace devhost {
std::optional<ColourMode> ParseColourMode(const std::string& text) {
  if (const ColourModeWord* mode = RowWithWord(kColourModes, text)) {
    return mode->value;
  }
  return std::nullopt;
}

std::vector<std::string> ColourModeWords() {
  std::vector<std::string> words;
  for (const ColourModeWord& mode : kColourModes) {
    words.emplace_back(mode.word);
  }
  return words;
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
