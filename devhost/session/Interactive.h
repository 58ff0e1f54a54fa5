#pragma once
// An interactive session at a terminal: a prompt with line editing and history, and "help".

#include <string>
#include <vector>

#include "devhost/session/Session.h"

namespace devhost {

// The forms a session line takes, one a line, each with an example.
std::vector<std::string> SessionLineForms();

// The registered commands and the session line syntax, line by line.
std::vector<std::string> HelpText(const std::vector<std::string>& chat_commands,
                                  const std::vector<std::string>& console_commands);

// Reads lines until end of input or "quit"; session lines go to `session`. Tab completes the
// word before the cursor to one of `commands`, letter case aside.
void RunInteractive(Session& session, const std::vector<std::string>& help,
                    std::vector<std::string> commands);

}  // namespace devhost
