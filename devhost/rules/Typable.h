#pragma once
// Whether a player can type a registered command at all. The host compares the first word of a
// typed line, and words end at a blank or a tab.

#include <string_view>

#include "devhost/text/EnumTable.h"

namespace devhost {

enum class Untypable {
  No,       // a typed line can reach it
  Empty,    // there is nothing to type
  Blank,    // a blank or tab ends the first word of a typed line before its end
  Control,  // players cannot type a line break or another control character
};

// Each reason's name, for programs and the catalogue.
struct UntypableName {
  Untypable value;
  const char* word;
};
inline constexpr UntypableName kUntypableNames[] = {
    {Untypable::No, ""},
    {Untypable::Empty, "empty"},
    {Untypable::Blank, "blank"},
    {Untypable::Control, "control"},
};
static_assert(InEnumOrder(kUntypableNames));

Untypable UntypableOf(std::string_view registered);

}  // namespace devhost
