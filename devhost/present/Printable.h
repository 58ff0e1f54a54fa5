#pragma once
// Text from a configuration or a session line, made safe for a terminal: a terminal acts on
// control characters (ESC starts a command that can rewrite lines or the title) instead of
// showing them.

#include <string>
#include <string_view>
#include <vector>

#include "devhost/text/ControlCharacter.h"

namespace devhost {

// `text` (UTF-8) with each control character written as an escape: "\x1b", "\u0085".
std::string Printable(std::string_view text);
// The same, appended to `out`: a long report builds its lines without temporaries.
void AppendPrintable(std::string& out, std::string_view text);

// The distinct control characters of `text` as such escapes, in the order they first appear.
std::vector<std::string> ControlEscapes(std::string_view text);

}  // namespace devhost
