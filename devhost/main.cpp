// devhost: runs the plugin on a server folder and plays a session against it, or checks the
// server folder's configuration (--check).

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "config/ConfigFile.h"
#include "devhost/check/InitServer.h"
#include "devhost/check/RunCheck.h"
#include "devhost/lib/Host.h"
#include "devhost/lib/LogSinks.h"
#include "devhost/lib/PluginLoader.h"
#include "devhost/session/EventWriter.h"
#include "devhost/session/Interactive.h"
#include "devhost/session/Session.h"
#include "devhost/session/Terminal.h"
#include "devhost/session/TerminalWriter.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailedStart = 2;
constexpr int kExitLeaked = 3;
constexpr int kExitInvalidLines = 4;

// Only the plugin build beside this program: a server's ArkApi/Plugins/Quorvane/ holds the real
// host's build, which this host must never load.
std::optional<std::string> ChoosePlugin() {
  const std::string beside = devhost::DefaultPluginPath();
  std::error_code ignored;
  if (std::filesystem::is_regular_file(beside, ignored)) {
    return beside;
  }
  std::cerr << "devhost: no plugin build next to this program (" << beside
            << " is missing); unpack the toolkit again, or name one with --plugin FILE\n";
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
  // Lines end in "\n" as on Linux, byte for byte: no "\r\n" from the C runtime's text mode.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  CLI::App app{
      "devhost: the Quorvane development host. Loads the plugin on a server folder and "
      "plays a session: \"NAME: TEXT\" chat, \"NAME> TEXT\" player console, "
      "\"> TEXT\" server console."};
  std::string server_dir;
  std::string plugin_path;
  std::string script;
  std::string colour_text = "auto";
  bool json_output = false;
  bool check = false;
  std::string html_path;
  bool init = false;
  app.set_version_flag("--version", "devhost " QUORVANE_VERSION);
  auto* server_dir_option =
      app.add_option("--server-dir", server_dir,
                     "server working directory (default: the current directory)")
          ->check(CLI::ExistingDirectory);
  auto* plugin_option =
      app.add_option("--plugin", plugin_path,
                     "plugin library to load (default: the one next to this program)")
          ->check(CLI::ExistingFile);
  auto* script_option =
      app.add_option("--script", script, "read session lines from FILE instead of standard input")
          ->check(CLI::ExistingFile);
  app.add_flag("--json", json_output, "write JSON Lines to standard output");
  auto* check_option =
      app.add_flag(
             "--check", check,
             "use every chat command once, check the configuration and report; exit 0 when "
             "all is well, 1 with warnings or failing commands, 2 when the plugin did not start")
          ->excludes(script_option);
  app.add_option("--html", html_path,
                 "with --check, also write FILE: a page that shows every command as players see "
                 "it, with its findings (exit 4 when FILE cannot be written)")
      ->needs(check_option);
  app.add_flag("--init", init,
               "copy the starter config.json and config.schema.json into the server folder's " +
                   std::filesystem::path(kConfigFileInServer).parent_path().generic_string() +
                   "/, keeping any file already there")
      ->needs(server_dir_option)
      ->excludes(script_option, plugin_option, check_option);
  std::string reload_from;
  app.add_option("--reload-from", reload_from,
                 "with --check: preview what reloading config.json does to a server started "
                 "with OLD, in a scratch folder; exit 1 when a command changes meaning or fails")
      ->type_name("OLD")
      ->check(CLI::ExistingFile)
      ->needs(check_option)
      ->excludes("--html");
  app.add_option("--color", colour_text,
                 "colour for terminals: auto, always or never (NO_COLOR is honoured by auto)")
      ->check(CLI::IsMember({"auto", "always", "never"}));
  CLI11_PARSE(app, argc, argv);

  if (init) {
    // The starter files ship in the toolkit's examples/ (in a build tree, bin/examples/).
    return devhost::InitServer(server_dir, devhost::ProgramDir() / "examples", std::cout,
                               std::cerr);
  }

  devhost::Host& host = devhost::Host::Instance();
  if (!server_dir.empty()) {
    host.SetServerDir(server_dir);
  }
  if (plugin_path.empty()) {
    std::optional<std::string> beside = ChoosePlugin();
    if (!beside) {
      return kExitFailedStart;
    }
    plugin_path = std::move(*beside);
  }
  const devhost::ColourMode colour_mode =
      devhost::ParseColourMode(colour_text).value_or(devhost::ColourMode::Auto);

  if (check) {
    return devhost::RunCheck({host.ServerDir(), plugin_path, json_output,
                              devhost::ColourWanted(colour_mode, stdout), html_path, reload_from},
                             stdout);
  }

  // Interactive only for a person at a terminal; scripts and pipes keep the plain output.
  const bool interactive = script.empty() && !json_output && devhost::IsTerminal(stdin);
  std::unique_ptr<devhost::EventWriter> writer =
      json_output ? devhost::MakeJsonWriter(stdout)
      : interactive
          ? devhost::MakeTerminalWriter(stdout, devhost::ColourWanted(colour_mode, stdout))
          : devhost::MakeHumanWriter(stdout);
  if (json_output) {
    devhost::EventWriter* events = writer.get();
    host.SetSinks(
        {devhost::MakeLineSink([events](const std::string& line) { events->Log(line); })});
  }
  host.SetScreenListener(
      [&writer](const AShooterPlayerController& player, const devhost::ScreenMessage& message) {
        writer->Message(player.Name(), message);
      });

  devhost::StartReport report;
  std::unique_ptr<devhost::LoadedPlugin> plugin = devhost::LoadedPlugin::Load(plugin_path, report);
  writer->Start(report);
  std::size_t invalid_lines = 0;
  if (plugin) {
    devhost::Session session(host, *writer);
    if (!script.empty()) {
      std::ifstream input(script);
      session.Run(input);
    } else if (interactive) {
      devhost::RunInteractive(session,
                              devhost::HelpText(report.chat_commands, report.console_commands));
    } else {
      session.Run(std::cin);
    }
    invalid_lines = session.InvalidLines();
    plugin.reset();
  }

  const devhost::AllocatorStats stats = host.Allocator().Stats();
  writer->Exit(stats);
  // The gravest wins: a plugin that did not start, then leaked game memory, then a script
  // that did not play what it says.
  if (!report.ok) {
    return kExitFailedStart;
  }
  if (stats.live_blocks != 0) {
    return kExitLeaked;
  }
  return invalid_lines == 0 ? kExitOk : kExitInvalidLines;
}
