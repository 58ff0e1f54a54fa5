#pragma once
// The program's exit statuses: one table for every mode. `devhost --help` prints it, and the
// README's table is checked against that.

namespace devhost {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFindings = 1;
inline constexpr int kExitNotStarted = 2;
inline constexpr int kExitLeaked = 3;
inline constexpr int kExitInvalidLines = 4;
inline constexpr int kExitUnreadable = 5;
inline constexpr int kExitUnwritable = 6;
inline constexpr int kExitUsage = 64;
inline constexpr int kExitOutOfResources = 70;

struct ExitStatusMeaning {
  int status;
  const char* meaning;
};

inline constexpr ExitStatusMeaning kExitStatusTable[] = {
    {kExitOk, "all well"},
    {kExitFindings,
     "the check or the preview found warnings, failing, silent or unreachable commands, or a "
     "change of meaning; --init could not place a file"},
    {kExitNotStarted, "the plugin did not start (on config.json, or on OLD for the preview)"},
    {kExitLeaked, "game memory was left allocated"},
    {kExitInvalidLines, "a session line was not a session line"},
    {kExitUnreadable,
     "an input named on the command line cannot be read: a script, OLD, the scratch folder"},
    {kExitUnwritable, "an output cannot be written: the page, standard output, standard error"},
    {kExitUsage, "the command line is wrong"},
    {kExitOutOfResources, "the program ran out of memory or another system resource"},
};

// A run's status once an input or output failed as well: a failure to read or write outranks
// every other status; the first such failure is the one reported.
constexpr int WithFailure(int status, int failure) {
  return status == kExitUnreadable || status == kExitUnwritable ? status : failure;
}

}  // namespace devhost
