#pragma once
// An interactive session at a terminal: a prompt with line editing and history, and "help".

#include <string>
#include <vector>

#include "devhost/session/Session.h"

namespace devhost {

// The registered commands and the session line syntax, line by line.
std::vector<std::string> HelpText(const std::vector<std::string>& chat_commands,
                                  const std::vector<std::string>& console_commands);

// Reads lines until end of input or "quit"; session lines go to `session`.
void RunInteractive(Session& session, const std::vector<std::string>& help);

}  // namespace devhost
