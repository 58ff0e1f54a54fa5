#pragma once
// "devhost" without --check: loads the plugin and plays a session against it, from a script,
// standard input or a person at a terminal. Returns the program's exit status
// (devhost/present/ExitStatus.h).

#include <cstdio>
#include <string>

#include "devhost/present/Terminal.h"

namespace devhost {

struct SessionOptions {
  std::string plugin_path;
  std::string script;  // empty: standard input
  bool json = false;
  ColourMode colour_mode = ColourMode::Auto;
};

int RunSession(const SessionOptions& options, std::FILE* out);

}  // namespace devhost
