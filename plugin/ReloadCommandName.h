#pragma once

namespace quorvane {
// The console command that re-reads config.json while the server runs, as operators type it:
// the plugin's name, a point and a verb.

inline constexpr const char* kReloadCommandName = "Quorvane.Reload";

}  // namespace quorvane
