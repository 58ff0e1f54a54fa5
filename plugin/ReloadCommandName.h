#pragma once

namespace quorvane {
// The console command that re-reads config.json while the server runs, as operators type it:
// the plugin's name, a point and a verb.

inline constexpr const char* kReloadCommandName = "Quorvane.Reload";

// Its answers to the caller: in green (bridge/Colours.h) when the file now in force is the one
// just read, in red when the last good one stays.
inline constexpr const char* kReloadedAnswer = "Reloaded config";
inline constexpr const char* kReloadFailedAnswer = "Failed to reload config";

}  // namespace quorvane
