#pragma once
// The simulated game's functions that the host hands out by name through GetAddress.

#include <string>
#include <unordered_map>

#include "bridge/GameFunctions.h"

namespace devhost {

std::unordered_map<std::string, void*> GameFunctionTable();

}  // namespace devhost
