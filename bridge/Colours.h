#pragma once
// Colours as the game functions take them, the byte colour type and the plugin's fixed colours.

#include <array>
#include <cstddef>
#include <cstdint>

// Linear (not sRGB-encoded) intensities; neither clamped nor checked.
struct FLinearRgba {
  float R;
  float G;
  float B;
  float A;
};

static_assert(sizeof(FLinearRgba) == 16, "FLinearRgba is a 16-byte game record");
static_assert(offsetof(FLinearRgba, R) == 0 && offsetof(FLinearRgba, G) == 4 &&
                  offsetof(FLinearRgba, B) == 8 && offsetof(FLinearRgba, A) == 12,
              "FLinearRgba field offsets");

// 8-bit sRGB-encoded bytes, stored B, G, R, A.
struct FBgraColor {
  std::uint8_t B;
  std::uint8_t G;
  std::uint8_t R;
  std::uint8_t A;
};

static_assert(sizeof(FBgraColor) == 4, "FBgraColor is 4 bytes");
static_assert(offsetof(FBgraColor, B) == 0 && offsetof(FBgraColor, G) == 1 &&
                  offsetof(FBgraColor, R) == 2 && offsetof(FBgraColor, A) == 3,
              "FBgraColor byte order is B, G, R, A");

// Entry i is the sRGB decoding (IEC 61966-2-1) of i/255.
extern const std::array<double, 256> SrgbDecodeTable;

FLinearRgba ToLinear(FBgraColor colour);

inline constexpr FBgraColor ColourGreen{0, 255, 0, 255};
inline constexpr FBgraColor ColourRed{0, 0, 255, 255};
