#pragma once
// The simulated game's functions that the host hands out by name through GetAddress.

#include <string>
#include <unordered_map>

namespace devhost {

std::unordered_map<std::string, void*> GameFunctionTable();

}  // namespace devhost
