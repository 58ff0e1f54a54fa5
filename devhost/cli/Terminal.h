#pragma once
// What the terminal gets: whether to colour, and reply colours as a terminal shows them.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "bridge/ColourRecords.h"

namespace devhost {

enum class ColourMode { Auto, Always, Never };

// "auto", "always" or "never".
std::optional<ColourMode> ParseColourMode(const std::string& text);

// Always and Never decide; Auto colours a terminal unless NO_COLOR is set to a non-empty text.
bool ColourWanted(ColourMode mode, std::FILE* stream);

bool IsTerminal(std::FILE* stream);

struct Rgb8 {
  std::uint8_t r = 0, g = 0, b = 0;
};

// The game's linear components, clamped to 0-1 and sRGB-encoded as terminals expect.
Rgb8 DisplayColour(const FLinearRgba& colour);

}  // namespace devhost
