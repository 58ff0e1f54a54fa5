#include "config/GameFloat.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace quorvane {

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

bool IsGameNumber(const nlohmann::json& value) {
  return value.is_number() || value.is_boolean();
}

float GameFloatOf(const nlohmann::json& value) {
  if (!IsGameNumber(value)) {
    // The library's own type_error 302, "type must be number, but is ...".
    static_cast<void>(value.get<double>());
  }
  switch (value.type()) {
    case nlohmann::json::value_t::boolean:
      return value.get<bool>() ? 1.0f : 0.0f;
    case nlohmann::json::value_t::number_integer:
      // Every 64-bit integer is within a float's range: the conversion is defined and rounds
      // once, where going through double would round twice above 2^53.
      return static_cast<float>(value.get<std::int64_t>());
    case nlohmann::json::value_t::number_unsigned:
      return static_cast<float>(value.get<std::uint64_t>());
    default:
      return ToGameFloat(value.get<double>());
  }
}

}  // namespace quorvane
