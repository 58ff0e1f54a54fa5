#pragma once
// Text that shows nothing: every code point is white space or ignorable by default, so a chat
// line of it looks empty.

#include <string_view>

namespace devhost {

// Unicode 15.0's White_Space or Default_Ignorable_Code_Point.
bool IsBlankCodePoint(char32_t c);
// Whether every code point of `text` (UTF-8) is blank; empty text is. Ill-formed UTF-8 shows as
// U+FFFD, which is not blank.
bool IsBlankText(std::string_view text);

}  // namespace devhost
