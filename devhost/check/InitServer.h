#pragma once
// "devhost --init": puts the starter configuration into a server folder for an operator who
// has none yet, and never touches a file that is already there.

#include <filesystem>
#include <ostream>
#include <string>

namespace devhost {

// Copies config.json and config.schema.json from `starter_dir` into the server folder's
// ArkApi/Plugins/Quorvane/, one line per file on `out` (copied, or kept because a file is
// there). Returns 0 when both files are in place afterwards, 1 when one could not be copied
// (the reason goes to `err`).
int InitServer(const std::string& server_dir, const std::filesystem::path& starter_dir,
               std::ostream& out, std::ostream& err);

}  // namespace devhost
