#pragma once
// "devhost --init": puts the starter configuration into a server folder for an operator who
// has none yet, and never touches a file that is already there.

#include <cstdio>
#include <filesystem>
#include <string>

namespace devhost {

// Copies config.json and config.schema.json from `starter_dir` into the server folder's
// ArkApi/Plugins/Quorvane/, saying for each file on `out` whether it was copied or kept (with
// `json`, as JSON Lines ending in a summary). Something the plugin cannot read in a file's
// place (a folder, a FIFO, a link to nothing) is never written through. Returns 0 when both
// files are in place afterwards, 1 when one could not be placed (why goes to `err`, or to `out`
// with `json`).
int InitServer(const std::string& server_dir, const std::filesystem::path& starter_dir, bool json,
               std::FILE* out, std::FILE* err);

}  // namespace devhost
