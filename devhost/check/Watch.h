#pragma once
// "devhost --check --watch": the check, run again after each change to the server folder's
// config.json, until Ctrl-C. Each run is this program run again without --watch, so each starts
// on a fresh host with its own count of game memory.

#include <cstdio>

#include "devhost/check/RunCheck.h"

namespace devhost {

// Returns the status of the last run that completed, once SIGINT ends the watch. SIGTERM,
// SIGHUP and SIGQUIT end the run under way and then the program, by that signal.
int WatchCheck(const CheckOptions& options, std::FILE* out);

}  // namespace devhost
