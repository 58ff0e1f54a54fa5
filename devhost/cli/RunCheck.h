#pragma once
// "devhost --check": starts the plugin on a server folder, uses each chat command once and
// reports, with the configuration's findings. Returns the program's exit status.

#include <cstdio>
#include <string>

namespace devhost {

struct CheckOptions {
  std::string server_dir;
  std::string plugin_path;
  bool json = false;
  bool colour = false;
};

int RunCheck(const CheckOptions& options, std::FILE* out);

}  // namespace devhost
