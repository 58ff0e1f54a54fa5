#pragma once
// For tests only: stand-ins for the game's functions, which the host hands out by name. The
// program includes nothing of this.

#include <string>

#include "bridge/GameFunctions.h"
#include "devhost/game/GameFunctionTable.h"
#include "devhost/host/Host.h"

namespace devhost {

class HostSeams {
 public:
  // What GetAddress gives for `function` from now on (null: the game has none of that name),
  // typed by the function's own declaration.
  template <typename Signature>
  static void SetAddress(GameFunction<Signature> function,
                         typename GameFunction<Signature>::Pointer address) {
    Host::Instance().SetAddress(function.name, reinterpret_cast<void*>(address));
  }
  // GetAddress finds no function of that name from now on.
  static void RemoveAddress(const std::string& name) { Host::Instance().SetAddress(name, nullptr); }
  // Undoes every SetAddress and RemoveAddress.
  static void RestoreAddresses() { Host::Instance().RestoreAddresses(); }

  // The simulated game's own implementation of `function`, for a stand-in to pass the call on.
  template <typename Signature>
  static Signature* GameImplementation(GameFunction<Signature> function) {
    return reinterpret_cast<Signature*>(GameFunctionTable().at(function.name));
  }
};

}  // namespace devhost
