#include "devhost/cli/Terminal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

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

}  // namespace

std::optional<ColourMode> ParseColourMode(const std::string& text) {
  if (text == "auto") {
    return ColourMode::Auto;
  }
  if (text == "always") {
    return ColourMode::Always;
  }
  if (text == "never") {
    return ColourMode::Never;
  }
  return std::nullopt;
}

bool IsTerminal(std::FILE* stream) {
#if defined(_WIN32)
  return _isatty(_fileno(stream)) != 0;
#else
  return isatty(fileno(stream)) != 0;
#endif
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

Rgb8 DisplayColour(const FLinearRgba& colour) {
  return {EncodeSrgb(colour.R), EncodeSrgb(colour.G), EncodeSrgb(colour.B)};
}

}  // namespace devhost
