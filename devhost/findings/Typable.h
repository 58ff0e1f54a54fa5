#pragma once
// Whether a player can type a registered chat command.

#include <string>
#include <string_view>

namespace devhost {

// Why no chat line a player types can match the registered text `registered`; empty when one
// can. The host compares the first word of a line, and words end at a blank or a tab.
std::string UntypableReason(std::string_view registered);

}  // namespace devhost
