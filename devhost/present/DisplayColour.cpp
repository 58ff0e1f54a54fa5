#include "devhost/present/DisplayColour.h"

#include <algorithm>
#include <cmath>

namespace devhost {
namespace {

std::uint8_t EncodeSrgb(float linear) {
  const double value = std::clamp(static_cast<double>(linear), 0.0, 1.0);  // NaN stays NaN
  if (!(value >= 0.0)) {
    return 0;
  }
  const double encoded =
      value <= 0.0031308 ? value * 12.92 : 1.055 * std::pow(value, 1.0 / 2.4) - 0.055;
  return static_cast<std::uint8_t>(std::lround(encoded * 255.0));
}

bool InRange(float value) {
  return value >= 0.0f && value <= 1.0f;
}

}  // namespace

Rgb8 DisplayColour(const FLinearRgba& colour) {
  return {EncodeSrgb(colour.R), EncodeSrgb(colour.G), EncodeSrgb(colour.B)};
}

bool ColourClamped(const FLinearRgba& colour) {
  return !(InRange(colour.R) && InRange(colour.G) && InRange(colour.B) && InRange(colour.A));
}

}  // namespace devhost
