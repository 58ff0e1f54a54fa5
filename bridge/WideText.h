#pragma once
// Wide text reaches the game as 16-bit UTF-16 units. Where wchar_t is 32 bits (Linux) a code
// point above U+FFFF becomes a surrogate pair; where it is 16 bits (Windows) units pass as
// they are.

#include <cstdint>
#include <cwchar>
#include <string>

namespace quorvane {

std::u16string ToUtf16Units(const wchar_t* text);

}  // namespace quorvane
