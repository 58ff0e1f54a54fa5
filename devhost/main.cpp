// devhost: runs the plugin on a server folder and plays a session against it, or checks the
// server folder's configuration (--check).

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <system_error>

#include <fmt/format.h>
#include <CLI/CLI.hpp>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "config/ConfigFile.h"
#include "devhost/ExitStatus.h"
#include "devhost/check/InitServer.h"
#include "devhost/check/RunCheck.h"
#include "devhost/check/SystemCalls.h"
#include "devhost/lib/Host.h"
#include "devhost/lib/LogSinks.h"
#include "devhost/lib/PluginLoader.h"
#include "devhost/session/EventWriter.h"
#include "devhost/session/Interactive.h"
#include "devhost/session/Output.h"
#include "devhost/session/Session.h"
#include "devhost/session/Terminal.h"
#include "devhost/session/TerminalWriter.h"

namespace {

namespace fs = std::filesystem;
using devhost::PutLine;
using devhost::SystemReason;

// Only the plugin build beside this program: a server's ArkApi/Plugins/Quorvane/ holds the real
// host's build, which this host must never load.
std::optional<std::string> ChoosePlugin() {
  const std::string beside = devhost::DefaultPluginPath();
  std::error_code ignored;
  if (std::filesystem::is_regular_file(beside, ignored)) {
    return beside;
  }
  PutLine(stderr, "devhost: no plugin build next to this program (" + beside +
                      " is missing); unpack the toolkit again, or name one with --plugin FILE");
  return std::nullopt;
}

std::string ExitStatusHelp() {
  std::string help = "Exit status:\n";
  for (const devhost::ExitStatusMeaning& row : devhost::kExitStatusTable) {
    help += fmt::format("  {:>2}  {}\n", row.status, row.meaning);
  }
  return help + "A failure to read or write outranks every other status.\n";
}

struct Options {
  std::string server_dir;
  std::string plugin_path;
  std::string script;
  std::string colour_text = "auto";
  bool json_output = false;
  bool check = false;
  std::string html_path;
  bool init = false;
  std::string reload_from;
};

// Parses the command line; a status when the run ends here (help, version, a usage error).
std::optional<int> ParseCommandLine(int argc, char** argv, Options& options) {
  CLI::App app{
      "devhost: the Quorvane development host. Loads the plugin on a server folder and "
      "plays a session: \"NAME: TEXT\" chat, \"NAME> TEXT\" player console, "
      "\"> TEXT\" server console."};
  app.footer(ExitStatusHelp());
  app.set_version_flag("--version", "devhost " QUORVANE_VERSION);
  auto* server_dir_option =
      app.add_option("--server-dir", options.server_dir,
                     "server working directory (default: the current directory)")
          ->check(CLI::ExistingDirectory);
  auto* plugin_option =
      app.add_option("--plugin", options.plugin_path,
                     "plugin library to load (default: the one next to this program)")
          ->check(CLI::ExistingFile);
  const CLI::Validator named(
      [](std::string& text) {
        return text.empty() ? std::string("the file name is empty") : std::string();
      },
      "", "named");
  auto* script_option = app.add_option("--script", options.script,
                                       "read session lines from FILE instead of standard input")
                            ->check(named);
  app.add_flag("--json", options.json_output, "write JSON Lines to standard output");
  auto* check_option =
      app.add_flag("--check", options.check,
                   "use every chat command once, check the configuration and report")
          ->excludes(script_option);
  app.add_option("--html", options.html_path,
                 "with --check, also write FILE: a page that shows every command as players see "
                 "it, with its findings")
      ->check(named)
      ->needs(check_option);
  app.add_flag("--init", options.init,
               "copy the starter config.json and config.schema.json into the server folder's " +
                   std::filesystem::path(kConfigFileInServer).parent_path().generic_string() +
                   "/, keeping any file already there")
      ->needs(server_dir_option)
      ->excludes(script_option, plugin_option, check_option);
  app.add_option("--reload-from", options.reload_from,
                 "with --check: preview what reloading config.json does to a server started "
                 "with OLD, in a scratch folder")
      ->type_name("OLD")
      ->check(named)
      ->needs(check_option)
      ->excludes("--html");
  app.add_option("--color", options.colour_text,
                 "colour for terminals: auto, always or never (NO_COLOR is honoured by auto)")
      ->check(CLI::IsMember({"auto", "always", "never"}));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? devhost::kExitOk : devhost::kExitUsage;
  }
  return std::nullopt;
}

// Opened before the plugin starts, so a wrong path costs nothing and says so at once.
std::unique_ptr<std::ifstream> OpenScript(const std::string& path) {
  std::error_code ignored;
  if (fs::is_directory(fs::u8path(path), ignored)) {
    PutLine(stderr, "devhost: cannot read " + path + ": it is a folder");
    return nullptr;
  }
  errno = 0;
  auto input = std::make_unique<std::ifstream>(fs::u8path(path), std::ios::binary);
  if (!input->is_open()) {
    PutLine(stderr,
            "devhost: cannot read " + path + ": " + SystemReason(errno, "it cannot be opened"));
    return nullptr;
  }
  return input;
}

// Every line of `input`; false, once said why, when reading fails part-way. `file` is the C
// stream under `input`, if any: standard input reports its read errors only there.
bool PlayAll(devhost::Session& session, std::istream& input, std::FILE* file,
             const std::string& name) {
  // A failed read throws, so that running out of memory is not taken for one: the stream
  // would otherwise swallow it and end the session as if the input had ended.
  input.exceptions(std::ios::badbit);
  errno = 0;
  try {
    session.Run(input);
  } catch (const std::ios_base::failure&) {
    PutLine(stderr, "devhost: cannot read " + name + ": " + SystemReason(errno, "a read failed"));
    return false;
  }
  if (file != nullptr && std::ferror(file) != 0) {
    PutLine(stderr, "devhost: cannot read " + name + ": " + SystemReason(errno, "a read failed"));
    return false;
  }
  return true;
}

int RunSession(const Options& options, devhost::Host& host, devhost::ColourMode colour_mode) {
  std::unique_ptr<std::ifstream> script;
  if (!options.script.empty()) {
    script = OpenScript(options.script);
    if (!script) {
      return devhost::kExitUnreadable;
    }
  }
  // Interactive only for a person at a terminal; scripts and pipes keep the plain output.
  const bool interactive = !script && !options.json_output && devhost::IsTerminal(stdin);
  std::unique_ptr<devhost::EventWriter> writer =
      options.json_output ? devhost::MakeJsonWriter(stdout)
      : interactive
          ? devhost::MakeTerminalWriter(stdout, devhost::ColourWanted(colour_mode, stdout))
          : devhost::MakeHumanWriter(stdout);
  // Log lines reach people through the writer too, which escapes what a terminal would act on.
  devhost::EventWriter* events = writer.get();
  host.SetSinks({devhost::MakeLineSink([events](const std::string& line) { events->Log(line); })});
  host.SetScreenListener(
      [&writer](const AShooterPlayerController& player, const devhost::ScreenMessage& message) {
        writer->Message(player.Name(), message);
      });

  devhost::StartReport report;
  std::unique_ptr<devhost::LoadedPlugin> plugin =
      devhost::LoadedPlugin::Load(options.plugin_path, report);
  writer->Start(report);
  std::size_t invalid_lines = 0;
  bool script_failed = false;
  if (plugin) {
    devhost::Session session(host, *writer);
    if (interactive) {
      devhost::RunInteractive(session,
                              devhost::HelpText(report.chat_commands, report.console_commands));
    } else {
      script_failed = script ? !PlayAll(session, *script, nullptr, options.script)
                             : !PlayAll(session, std::cin, stdin, "standard input");
    }
    invalid_lines = session.InvalidLines();
    plugin.reset();
  }

  const devhost::AllocatorStats stats = host.Allocator().Stats();
  writer->Exit(stats);
  host.SetScreenListener({});
  host.SetSinks({});
  if (script_failed) {
    return devhost::kExitUnreadable;
  }
  // The gravest wins: a plugin that did not start, then leaked game memory, then a script
  // that did not play what it says.
  if (!report.ok) {
    return devhost::kExitNotStarted;
  }
  if (stats.live_blocks != 0) {
    return devhost::kExitLeaked;
  }
  return invalid_lines == 0 ? devhost::kExitOk : devhost::kExitInvalidLines;
}

int Run(int argc, char** argv) {
  Options options;
  if (const std::optional<int> status = ParseCommandLine(argc, argv, options)) {
    return *status;
  }
  if (options.init) {
    // The starter files ship in the toolkit's examples/ (in a build tree, bin/examples/).
    return devhost::InitServer(options.server_dir, devhost::ProgramDir() / "examples",
                               options.json_output, stdout, stderr);
  }

  devhost::Host& host = devhost::Host::Instance();
  if (!options.server_dir.empty()) {
    host.SetServerDir(options.server_dir);
  }
  if (options.plugin_path.empty()) {
    std::optional<std::string> beside = ChoosePlugin();
    if (!beside) {
      return devhost::kExitNotStarted;
    }
    options.plugin_path = std::move(*beside);
  }
  const devhost::ColourMode colour_mode =
      devhost::ParseColourMode(options.colour_text).value_or(devhost::ColourMode::Auto);
  if (options.check) {
    return devhost::RunCheck(
        {host.ServerDir(), options.plugin_path, options.json_output,
         devhost::ColourWanted(colour_mode, stdout), options.html_path, options.reload_from},
        stdout);
  }
  return RunSession(options, host, colour_mode);
}

// A report that did not reach its reader is no success, whatever it said.
int WithOutputChecked(int status) {
  std::cout.flush();
  if (const std::optional<std::string> failure = devhost::WriteFailure(stdout)) {
    PutLine(stderr, "devhost: cannot write standard output: " + *failure);
    status = devhost::WithFailure(status, devhost::kExitUnwritable);
  }
  std::cerr.flush();
  if (devhost::WriteFailure(stderr)) {
    status = devhost::WithFailure(status, devhost::kExitUnwritable);
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
  // Lines end in "\n" as on Linux, byte for byte: no "\r\n" from the C runtime's text mode.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  devhost::FailWritesBeyondTheSizeLimit();
  int status = devhost::kExitOk;
  try {
    status = Run(argc, argv);
  } catch (const std::bad_alloc&) {
    // Nothing more can be allocated to say so.
    std::fputs("devhost: out of memory\n", stderr);
    return devhost::kExitOutOfResources;
  } catch (const std::exception& error) {
    // What else the system can refuse, such as a thread.
    std::fprintf(stderr, "devhost: cannot go on: %s\n", error.what());
    return devhost::kExitOutOfResources;
  }
  return WithOutputChecked(status);
}
