#pragma once
// Control characters: a terminal acts on them instead of showing them, and chat does not show
// them.

#include <string>
#include <string_view>

namespace devhost {

// C0 controls, DEL and C1 controls.
constexpr bool IsControlCharacter(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// The distinct control characters of `text` (UTF-8) other than line breaks and tabs, in the
// order they first appear, as UTF-8.
std::string ControlCharactersIn(std::string_view text);

}  // namespace devhost
