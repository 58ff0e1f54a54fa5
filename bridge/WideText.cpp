#include "bridge/WideText.h"

namespace quorvane {

std::u16string ToUtf16Units(const wchar_t* text) {
  std::u16string units;
  if (text == nullptr) {
    return units;
  }
  // Every reply passes through here: one allocation instead of one per doubling.
  units.reserve(std::wcslen(text));
#if WCHAR_MAX <= 0xFFFF
  for (; *text != 0; ++text) {
    units.push_back(static_cast<char16_t>(*text));
  }
#else
  for (; *text != 0; ++text) {
    const auto code = static_cast<std::uint32_t>(*text);
    if (code < 0x10000) {
      // Lone surrogates pass unchanged, as a 16-bit platform would pass them.
      units.push_back(static_cast<char16_t>(code));
    } else if (code <= 0x10FFFF) {
      const std::uint32_t v = code - 0x10000;
      units.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    } else {
      units.push_back(u'\uFFFD');
    }
  }
#endif
  return units;
}

}  // namespace quorvane
