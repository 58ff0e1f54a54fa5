#pragma once
// The program's standard streams as the platform has them.

#include <cstdio>

namespace devhost {

bool IsTerminal(std::FILE* stream);

// Lines end in "\n" on every platform, byte for byte: no "\r\n" from a C runtime's text mode.
void UseBinaryOutput(std::FILE* stream);

// Lets the terminal on `stream` act on control sequences (clearing the screen, colours), which
// Windows' console does only when asked; elsewhere terminals always do.
void UseTerminalControls(std::FILE* stream);

}  // namespace devhost
