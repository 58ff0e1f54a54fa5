#pragma once
// The game's linear reply colours as screens show them: clamped to 0-1 and sRGB-encoded.
// Terminals and the check's page both use it, so both show the same colour.

#include <cstdint>

#include "bridge/Colours.h"

namespace devhost {

struct Rgb8 {
  std::uint8_t r = 0, g = 0, b = 0;
};

// R, G and B clamped to 0-1 and sRGB-encoded; NaN counts as 0. Alpha is not part of it.
Rgb8 DisplayColour(const FLinearRgba& colour);

// Whether any of R, G, B or A lies outside 0-1 (or is NaN), so the colour shown is clamped.
bool ColourClamped(const FLinearRgba& colour);

}  // namespace devhost
