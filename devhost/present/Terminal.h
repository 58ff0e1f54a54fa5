#pragma once
// Whether to colour what the terminal gets.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "devhost/text/EnumTable.h"

namespace devhost {

enum class ColourMode { Auto, Always, Never };

struct ColourModeWord {
  ColourMode value;
  const char* word;
};
inline constexpr ColourModeWord kColourModes[] = {
    {ColourMode::Auto, "auto"},
    {ColourMode::Always, "always"},
    {ColourMode::Never, "never"},
};
static_assert(InEnumOrder(kColourModes));

// "auto", "always" or "never".
std::optional<ColourMode> ParseColourMode(const std::string& text);
// The same words, for the command line's choices.
std::vector<std::string> ColourModeWords();

// Always and Never decide; Auto colours a terminal unless NO_COLOR is set to a non-empty text.
bool ColourWanted(ColourMode mode, std::FILE* stream);

}  // namespace devhost
