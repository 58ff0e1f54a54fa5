#pragma once
// A finding written as compilers write theirs, which editors and CI logs read:
//   FILE:LINE:COLUMN: severity: message [code]
//     12 |     "Type": "serverchat",
//        |             ^~~~~~~~~~~~
//   hint: did you mean "ServerChat"?
// The source line's prefix ("  N | ") keeps it from ever reading as a finding of its own.

#include <string>

#include "devhost/findings/ConfigCheck.h"

namespace devhost {

// Appends `finding` about `file` to `out`, styled when `colour` is on. Everything from the file
// or the library is escaped for the terminal.
void AppendCompilerFinding(std::string& out, const std::string& file, const Finding& finding,
                           bool colour);

}  // namespace devhost
