#pragma once
// Whether a player can type a registered command at all. The host compares the first word of a
// typed line, and words end at a blank or a tab.

#include <string_view>

namespace devhost {

enum class Untypable {
  No,       // a typed line can reach it
  Empty,    // there is nothing to type
  Blank,    // a blank or tab ends the first word of a typed line before its end
  Control,  // players cannot type a line break or another control character
};

Untypable UntypableOf(std::string_view registered);

}  // namespace devhost
