#pragma once

namespace quorvane {

// Registers one chat command per element of "ChatCommands", each bound to its position. Every
// element is checked first (CheckRegistrableCommands): a bad one raises its error and nothing
// at all is registered.
void RegisterChatCommands();

}  // namespace quorvane
