#include "bridge/Colours.h"

#include <cmath>

namespace quorvane {

namespace {

std::array<double, 256> BuildSrgbDecodeTable() {
  std::array<double, 256> table{};
  for (int i = 0; i < 256; ++i) {
    const double encoded = i / 255.0;
    table[static_cast<std::size_t>(i)] =
        i <= 10 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
  }
  return table;
}

}  // namespace

const std::array<double, 256> SrgbDecodeTable = BuildSrgbDecodeTable();

FLinearRgba ToLinear(FBgraColor colour) {
  // The float nearest 1/255, so that an alpha byte of 255 gives exactly 1.0.
  constexpr float kAlphaScale = 0.003921569f;
  return FLinearRgba{
      static_cast<float>(SrgbDecodeTable[colour.R]), static_cast<float>(SrgbDecodeTable[colour.G]),
      static_cast<float>(SrgbDecodeTable[colour.B]), static_cast<float>(colour.A) * kAlphaScale};
}

}  // namespace quorvane
