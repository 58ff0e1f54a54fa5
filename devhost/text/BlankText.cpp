#include "devhost/text/BlankText.h"

#include "devhost/text/CodePointRanges.h"
#include "devhost/text/Text.h"

namespace devhost {

namespace {

// Unicode 15.0, PropList.txt (White_Space) and DerivedCoreProperties.txt
// (Default_Ignorable_Code_Point), merged and in order.
constexpr CodePointRange kBlank[] = {
    {0x0009, 0x000D},   {0x0020, 0x0020},   {0x0085, 0x0085},   {0x00A0, 0x00A0}, {0x00AD, 0x00AD},
    {0x034F, 0x034F},   {0x061C, 0x061C},   {0x115F, 0x1160},   {0x1680, 0x1680}, {0x17B4, 0x17B5},
    {0x180B, 0x180F},   {0x2000, 0x200F},   {0x2028, 0x202F},   {0x205F, 0x206F}, {0x3000, 0x3000},
    {0x3164, 0x3164},   {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFF8},
    {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};

}  // namespace

bool IsBlankCodePoint(char32_t c) {
  return InRanges(kBlank, c);
}

bool IsBlankText(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto [c, length] = CodePointAt(text, at);
    if (length == 0 || !IsBlankCodePoint(c)) {
      return false;  // ill-formed bytes show as U+FFFD, which is not blank
    }
    at += length;
  }
  return true;
}

}  // namespace devhost
