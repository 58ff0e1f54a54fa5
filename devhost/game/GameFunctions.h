#pragma once
// The simulated game's functions that the host hands out by name through GetAddress.

#include <string>
#include <unordered_map>

#include "bridge/GameFunctions.h"

namespace devhost {

std::unordered_map<std::string, void*> GameFunctionTable();

// The simulated game's own implementation of `function`, for a stand-in to pass the call on to.
template <typename Signature>
Signature* GameImplementation(GameFunction<Signature> function) {
  return reinterpret_cast<Signature*>(GameFunctionTable().at(function.name));
}

}  // namespace devhost
