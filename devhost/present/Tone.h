#pragma once
// The styles of the report lines that say how things went, named so that the tables of the
// check's words can hold them without a formatting library.

#include <string>
#include <string_view>

namespace devhost {

enum class Tone { Plain, Green, Yellow, Red, Cyan, Bold, Faint };

// `text` in the terminal's own colour or emphasis for `tone` when `colour` is on, else as it is.
std::string Toned(std::string_view text, Tone tone, bool colour);

}  // namespace devhost
