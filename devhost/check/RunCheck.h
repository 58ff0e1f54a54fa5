#pragma once
// "devhost --check": starts the plugin on a server folder, uses each chat command once and
// reports, with the configuration's findings. Returns the program's exit status
// (devhost/present/ExitStatus.h).

#include <cstdio>
#include <string>

namespace devhost {

struct CheckOptions {
  std::string server_dir;
  std::string plugin_path;
  bool json = false;
  bool colour = false;
  std::string html_path;  // when set, also write the preview page there
  // When set, preview a reload of the server's config.json on a server started with this file.
  std::string reload_from;
};

int RunCheck(const CheckOptions& options, std::FILE* out);

}  // namespace devhost
