#pragma once
// Colours as the game functions take them, and the byte colour type.

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
