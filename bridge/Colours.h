#pragma once
// The plugin's colour conversion and its fixed colours.

#include <array>

#include "bridge/ColourRecords.h"

namespace quorvane {

// Entry i is the sRGB decoding (IEC 61966-2-1) of i/255.
extern const std::array<double, 256> SrgbDecodeTable;

FLinearRgba ToLinear(FBgraColor colour);

inline constexpr FBgraColor ColourGreen{0, 255, 0, 255};
inline constexpr FBgraColor ColourRed{0, 0, 255, 255};

}  // namespace quorvane
