#pragma once
// Game strings as the host and the game read them.

#include <string>

#include "bridge/FString.h"

namespace devhost {

// The units of a game string, without its terminator.
std::u16string UnitsOf(const FString& string);

}  // namespace devhost
