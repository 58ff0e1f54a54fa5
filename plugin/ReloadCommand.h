#pragma once
// The console command "Quorvane.Reload": re-reads config.json and tells the caller, in green
// or red, whether it worked.

#include "bridge/GameTypes.h"

namespace quorvane {

void ReloadConfig(APlayerController* player, FString* command, bool write_to_log);

// Registers kReloadCommandName with the host; the last step of StartPlugin.
void RegisterReloadCommand();

}  // namespace quorvane
