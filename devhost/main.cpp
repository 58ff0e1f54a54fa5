// devhost: runs the plugin on a server folder and plays a session against it, or checks the
// server folder's configuration (--check).

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <fmt/format.h>
#include <CLI/CLI.hpp>

#include "config/ConfigFile.h"
#include "devhost/check/RunCheck.h"
#include "devhost/check/Watch.h"
#include "devhost/host/Host.h"
#include "devhost/host/PluginLoader.h"
#include "devhost/init/InitServer.h"
#include "devhost/os/Console.h"
#include "devhost/os/SystemCalls.h"
#include "devhost/present/ExitStatus.h"
#include "devhost/present/Output.h"
#include "devhost/present/Terminal.h"
#include "devhost/session/RunSession.h"
#include "devhost/text/Nearest.h"

namespace {

using devhost::PutLine;

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

// The known option nearest to an unknown one among `unexpected` ("--chek" -> "--check"), by the
// rule that suggests configuration keys.
std::optional<std::string> NearestOption(const CLI::App& app,
                                         const std::vector<std::string>& unexpected) {
  std::vector<std::string> names;
  for (const CLI::Option* option : app.get_options()) {
    for (const std::string& name : option->get_lnames()) {
      names.push_back(name);
    }
  }
  for (const std::string& argument : unexpected) {
    const std::size_t start = argument.find_first_not_of('-');
    if (start == 0 || start == std::string::npos) {
      continue;  // not an option
    }
    const std::string word = argument.substr(start, argument.find('=', start) - start);
    if (const std::optional<std::string> nearest = devhost::NearestOf(word, names)) {
      return "--" + *nearest;
    }
  }
  return std::nullopt;
}

// A validator that adds nothing to its option's placeholder in --help ("DIR", not "DIR:DIR").
CLI::Validator Unlabelled(CLI::Validator validator) {
  validator.description("");
  return validator;
}

struct Options {
  std::string server_dir;
  std::string plugin_path;
  std::string script;
  std::string colour_text = "auto";
  bool json_output = false;
  bool check = false;
  bool watch = false;
  std::string html_path;
  bool init = false;
  bool update_schema = false;
  std::string reload_from;
};

// Parses the command line; a status when the run ends here (help, version, a usage error).
std::optional<int> ParseCommandLine(int argc, char** argv, Options& options) {
  CLI::App app{
      "devhost: the Quorvane development host. Loads the plugin on a server folder and "
      "plays a session: \"NAME: TEXT\" chat, \"NAME> TEXT\" player console, "
      "\"> TEXT\" server console."};
  app.footer(ExitStatusHelp());
  // An unknown option is answered with the nearest known one, by the check's rule.
  app.failure_message([](const CLI::App* failed, const CLI::Error& error) {
    std::string message = CLI::FailureMessage::simple(failed, error);
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
      if (const std::optional<std::string> nearest = NearestOption(*failed, failed->remaining())) {
        message.insert(message.find('\n'), "; did you mean " + *nearest + "?");
      }
    }
    return message;
  });
  app.set_version_flag("--version", "devhost " QUORVANE_VERSION);
  auto* server_dir_option =
      app.add_option("--server-dir", options.server_dir,
                     "server working directory (default: the current directory)")
          ->type_name("DIR")
          ->check(Unlabelled(CLI::ExistingDirectory));
  auto* plugin_option =
      app.add_option("--plugin", options.plugin_path,
                     "plugin library to load (default: the one next to this program)")
          ->type_name("FILE")
          ->check(Unlabelled(CLI::ExistingFile));
  const CLI::Validator named(
      [](std::string& text) {
        return text.empty() ? std::string("the file name is empty") : std::string();
      },
      "", "named");
  auto* script_option = app.add_option("--script", options.script,
                                       "read session lines from FILE instead of standard input")
                            ->type_name("FILE")
                            ->check(named);
  app.add_flag("--json", options.json_output, "write JSON Lines to standard output");
  auto* check_option =
      app.add_flag("--check", options.check,
                   "use every chat command once, check the configuration and report")
          ->excludes(script_option);
  app.add_flag("--watch", options.watch,
               "with --check, check again after each change to config.json, until Ctrl-C")
      ->needs(check_option);
  app.add_option("--html", options.html_path,
                 "with --check, also write FILE: a page that shows every command as players see "
                 "it, with its findings")
      ->type_name("FILE")
      ->check(named)
      ->needs(check_option);
  auto* init_option =
      app.add_flag("--init", options.init,
                   "copy the starter config.json and config.schema.json into the server folder's " +
                       std::filesystem::path(quorvane::kConfigFileInServer)
                           .parent_path()
                           .generic_string() +
                       "/, keeping any file already there")
          ->needs(server_dir_option)
          ->excludes(script_option, plugin_option, check_option);
  app.add_flag("--update-schema", options.update_schema,
               "with --init, replace a config.schema.json already there with the toolkit's "
               "(config.json is never touched)")
      ->needs(init_option);
  app.add_option("--reload-from", options.reload_from,
                 "with --check: preview what reloading config.json does to a server started "
                 "with OLD, in a scratch folder")
      ->type_name("OLD")
      ->check(named)
      ->needs(check_option)
      ->excludes("--html");
  app.add_option("--color", options.colour_text,
                 "colour for terminals: auto, always or never (NO_COLOR is honoured by auto)")
      ->check(CLI::IsMember(devhost::ColourModeWords()));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? devhost::kExitOk : devhost::kExitUsage;
  }
  return std::nullopt;
}

int Run(int argc, char** argv) {
  Options options;
  if (const std::optional<int> status = ParseCommandLine(argc, argv, options)) {
    return *status;
  }
  if (options.init) {
    // The starter files ship in the toolkit's examples/ (in a build tree, bin/examples/).
    return devhost::InitServer({options.server_dir, devhost::ProgramDir() / "examples",
                                argc > 0 && argv[0] != nullptr ? argv[0] : "devhost",
                                options.json_output, options.update_schema},
                               stdout, stderr);
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
    const devhost::CheckOptions check = {
        host.ServerDir(),    options.plugin_path,
        options.json_output, devhost::ColourWanted(colour_mode, stdout),
        options.html_path,   options.reload_from};
    return options.watch ? devhost::WatchCheck(check, stdout) : devhost::RunCheck(check, stdout);
  }
  return devhost::RunSession(
      {options.plugin_path, options.script, options.json_output, colour_mode}, stdout);
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
  devhost::FillClosedStandardDescriptors();
  devhost::UseBinaryOutput(stdout);
  devhost::FailWritesInsteadOfEnding();
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
