#pragma once
// Whether to colour what the terminal gets.

#include <cstdio>
#include <optional>
#include <string>

namespace devhost {

enum class ColourMode { Auto, Always, Never };

// "auto", "always" or "never".
std::optional<ColourMode> ParseColourMode(const std::string& text);

// Always and Never decide; Auto colours a terminal unless NO_COLOR is set to a non-empty text.
bool ColourWanted(ColourMode mode, std::FILE* stream);

}  // namespace devhost
