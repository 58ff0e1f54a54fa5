#pragma once
// The reload preview for people (one line per command, saying what players get) or as JSON
// Lines (one object per command), and its exit status.

#include <cstdio>

#include "devhost/probe/ReloadPreview.h"
#include "devhost/report/CheckReport.h"

namespace devhost {

// 0: the reload succeeds and every command keeps its meaning; 1: the reload fails, a restart
// on the current file would fail, or a command changes meaning; 2: the plugin did not start on
// the old file; 5: OLD or the scratch folder cannot be used.
int ReloadExitStatus(const ReloadPreview& preview);

void WriteReloadReport(std::FILE* out, const ReloadPreview& preview, bool colour);
void WriteReloadJson(std::FILE* out, const ReloadPreview& preview);

}  // namespace devhost
