#include "config/GameFloat.h"

#include <cmath>
#include <limits>

float ToGameFloat(double value) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  // Halfway between the largest float and the next power of two, 2^128: from here on, rounding
  // to nearest (ties to even, and the largest float is odd) gives infinity.
  constexpr double kRoundsToInfinity = 0x1.ffffffp127;
  if (std::isnan(value)) {
    return std::numeric_limits<float>::quiet_NaN();
  }
  const double magnitude = std::fabs(value);
  if (magnitude > kLargest) {
    const float result = magnitude >= kRoundsToInfinity ? std::numeric_limits<float>::infinity()
                                                        : std::numeric_limits<float>::max();
    return value < 0 ? -result : result;
  }
  return static_cast<float>(value);  // within range: defined, rounded to nearest
}
