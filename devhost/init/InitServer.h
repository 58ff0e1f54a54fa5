#pragma once
// "devhost --init": puts the starter configuration into a server folder for an operator who
// has none yet, never touches a file that is already there, and says what to do next.

#include <cstdio>
#include <filesystem>
#include <string>

namespace devhost {

struct InitRequest {
  std::string server_dir;
  std::filesystem::path starter_dir;  // holds the toolkit's config.json and config.schema.json
  std::string program;                // how the operator ran devhost, for the check it suggests
  bool json = false;
  // Replace a config.schema.json already there with the toolkit's (config.json stays as it is).
  bool update_schema = false;
};

// Copies config.json and config.schema.json from the starter folder into the server folder's
// ArkApi/Plugins/Quorvane/, saying for each file on `out` whether it was copied, kept (for the
// schema, whether it differs from the toolkit's) or replaced, then the next steps (with `json`,
// as JSON Lines ending in a summary). Something the plugin cannot read in a file's place (a
// folder, a FIFO, a link to nothing) is never written through, nor is a link replaced. Returns
// 0 when both files are in place afterwards, 1 when one could not be placed (why goes to `err`,
// or to `out` with `json`).
int InitServer(const InitRequest& request, std::FILE* out, std::FILE* err);

}  // namespace devhost
