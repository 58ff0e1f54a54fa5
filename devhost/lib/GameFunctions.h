#pragma once
// The simulated game's functions that the host hands out by name through GetAddress.

#include <map>
#include <string>

namespace devhost {

std::map<std::string, void*> GameFunctionTable();

}  // namespace devhost
