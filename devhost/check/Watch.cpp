#include "devhost/check/Watch.h"

#include <chrono>
#include <csignal>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <fmt/chrono.h>
#include <fmt/format.h>

#include "devhost/findings/ConfigCheck.h"
#include "devhost/host/PluginLoader.h"
#include "devhost/os/Console.h"
#include "devhost/os/FileWatch.h"
#include "devhost/present/ExitStatus.h"
#include "devhost/present/Output.h"

namespace devhost {

namespace {

// An editor's save (a backup, the write, a rename) comes as one change.
constexpr std::chrono::milliseconds kQuiet{200};

// One run's command line: the same check, without --watch; the colour as this run decided it.
std::vector<std::string> RunArguments(const CheckOptions& options) {
  std::vector<std::string> arguments = {"--check", "--plugin=" + options.plugin_path,
                                        options.colour ? "--color=always" : "--color=never"};
  if (!options.server_dir.empty()) {
    arguments.push_back("--server-dir=" + options.server_dir);
  }
  if (options.json) {
    arguments.push_back("--json");
  }
  if (!options.html_path.empty()) {
    arguments.push_back("--html=" + options.html_path);
  }
  if (!options.reload_from.empty()) {
    arguments.push_back("--reload-from=" + options.reload_from);
  }
  return arguments;
}

std::string TimeOfDay() {
  return fmt::format("{:%H:%M:%S}", fmt::localtime(std::time(nullptr)));
}

}  // namespace

int WatchCheck(const CheckOptions& options, std::FILE* out) {
  const StopSignals stop;
  const std::string config = ConfigPathOf(options.server_dir).generic_string();
  std::string error;
  const std::unique_ptr<FileWatch> watch =
      FileWatch::Start(ConfigPathOf(options.server_dir), error);
  if (!watch) {
    PutLine(stderr, "devhost: cannot watch " + config + " for changes: " + error);
    return kExitOutOfResources;
  }
  const std::vector<std::string> arguments = RunArguments(options);
  // JSON Lines stay what each run writes, each ending with its summary.
  const bool text = !options.json;
  const bool terminal = text && IsTerminal(out);
  std::optional<int> last;  // the status of the last run that completed
  for (int run = 1;; ++run) {
    if (text) {
      if (!terminal && run > 1) {
        PutLine(out, "");  // runs that stay on the page stand apart
      } else if (terminal) {
        UseTerminalControls(out);
        // The cursor home, then the screen and what scrolled off it cleared.
        PutText(out, "\x1b[H\x1b[2J\x1b[3J");
      }
      PutLine(out, fmt::format("Run {} at {} (--watch)", run, TimeOfDay()));
      Flush(out);  // before the run's own lines
    }
    const ChildEnd end = RunChildProgram(ProgramPath(), arguments);
    if (!end.error.empty()) {
      PutLine(stderr, "devhost: cannot run the check: " + end.error);
      return last.value_or(kExitOutOfResources);
    }
    if (end.exited) {
      last = end.status;
    } else if (StopSignals::Received() == 0) {
      PutLine(stderr, end.signal != 0
                          ? fmt::format("devhost: the check ended by signal {}", end.signal)
                          : std::string("devhost: the check did not finish"));
    }
    if (StopSignals::Received() != 0) {
      break;
    }
    if (text) {
      PutLine(out, "");
      PutLine(out, "Watching " + config + " for changes; Ctrl-C ends the watch.");
      if (WriteFailure(out)) {
        return last.value_or(
            kExitUnwritable);  // nobody reads what the next run would say; main says why
      }
    }
    if (!watch->WaitForChange(kQuiet)) {
      break;
    }
  }
  const int signal = StopSignals::Received();
  if (signal == SIGINT && last) {
    return *last;
  }
  StopSignals::EndBy(signal);
}

}  // namespace devhost
