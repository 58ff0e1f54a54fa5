// devhost: runs the plugin on a server folder and plays a session against it.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "devhost/cli/EventWriter.h"
#include "devhost/cli/Session.h"
#include "devhost/lib/Host.h"
#include "devhost/lib/LineSink.h"
#include "devhost/lib/PluginLoader.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailedStart = 2;
constexpr int kExitLeaked = 3;

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"devhost: the Quorvane development host. Loads the plugin on a server folder and "
               "plays a session: \"NAME: TEXT\" chat, \"NAME> TEXT\" player console, "
               "\"> TEXT\" server console."};
  std::string server_dir;
  std::string plugin_path = devhost::DefaultPluginPath();
  std::string script;
  bool json_output = false;
  app.add_option("--server-dir", server_dir,
                 "server working directory (default: the current directory)")
      ->check(CLI::ExistingDirectory);
  app.add_option("--plugin", plugin_path, "plugin library to load")
      ->capture_default_str()
      ->check(CLI::ExistingFile);
  app.add_option("--script", script, "read session lines from FILE instead of standard input")
      ->check(CLI::ExistingFile);
  app.add_flag("--json", json_output, "write JSON Lines events to standard output");
  CLI11_PARSE(app, argc, argv);

  devhost::Host& host = devhost::Host::Instance();
  if (!server_dir.empty()) {
    host.SetServerDir(server_dir);
  }

  std::unique_ptr<devhost::EventWriter> writer =
      json_output ? devhost::MakeJsonWriter(stdout) : devhost::MakeHumanWriter(stdout);
  if (json_output) {
    devhost::EventWriter* events = writer.get();
    host.SetSinks({std::make_shared<devhost::LineSink>(
        [events](const std::string& line) { events->Log(line); })});
  }
  host.SetScreenListener(
      [&writer](const AShooterPlayerController& player, const devhost::ScreenMessage& message) {
        writer->Message(player.Name(), message);
      });

  devhost::StartReport report;
  std::unique_ptr<devhost::LoadedPlugin> plugin = devhost::LoadedPlugin::Load(plugin_path, report);
  writer->Start(report);
  if (plugin) {
    devhost::Session session(host, *writer);
    if (!script.empty()) {
      std::ifstream input(script);
      session.Run(input);
    } else {
      session.Run(std::cin);
    }
    plugin.reset();
  }

  const devhost::AllocatorStats stats = host.Allocator().Stats();
  writer->Exit(stats);
  if (!report.ok) {
    return kExitFailedStart;
  }
  return stats.live_blocks == 0 ? kExitOk : kExitLeaked;
}
