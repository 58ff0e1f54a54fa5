#pragma once
// The session writer for people at a terminal: replies in their configured colour,
// notifications set apart; everything else as the plain human writer has it.

#include <cstdio>
#include <memory>

#include "devhost/session/EventWriter.h"

namespace devhost {

std::unique_ptr<EventWriter> MakeTerminalWriter(std::FILE* out, bool colour);

}  // namespace devhost
