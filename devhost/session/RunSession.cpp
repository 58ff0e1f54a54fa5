#include "devhost/session/RunSession.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "devhost/host/Host.h"
#include "devhost/host/LogSinks.h"
#include "devhost/host/PluginLoader.h"
#include "devhost/os/Console.h"
#include "devhost/present/ExitStatus.h"
#include "devhost/present/Output.h"
#include "devhost/session/EventWriter.h"
#include "devhost/session/Interactive.h"
#include "devhost/session/Session.h"
#include "devhost/session/SessionReading.h"
#include "devhost/session/TerminalWriter.h"

namespace devhost {
namespace {

namespace fs = std::filesystem;

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
bool PlayAll(Session& session, std::istream& input, std::FILE* file, const std::string& name) {
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

}  // namespace

int RunSession(const SessionOptions& options, std::FILE* out) {
  Host& host = Host::Instance();
  std::unique_ptr<std::ifstream> script;
  if (!options.script.empty()) {
    script = OpenScript(options.script);
    if (!script) {
      return kExitUnreadable;
    }
  }
  // Interactive only for a person at a terminal; scripts and pipes keep the plain output.
  const bool interactive = !script && !options.json && IsTerminal(stdin);
  std::unique_ptr<EventWriter> writer =
      options.json  ? MakeJsonWriter(out)
      : interactive ? MakeTerminalWriter(out, ColourWanted(options.colour_mode, out))
                    : MakeHumanWriter(out);
  // Log lines reach people through the writer too, which escapes what a terminal would act on.
  EventWriter* events = writer.get();
  host.SetSinks({MakeLineSink([events](const std::string& line) { events->Log(line); })});
  host.SetScreenListener(
      [&writer](const AShooterPlayerController& player, const ScreenMessage& message) {
        writer->Message(player.Name(), message);
      });

  StartReport report;
  std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::Load(options.plugin_path, report);
  writer->Start(report);
  std::size_t invalid_lines = 0;
  bool script_failed = false;
  if (plugin) {
    Session session(host, *writer);
    // The file the plugin has just started with, read as it read it.
    SessionReading reading(host.ServerDir());
    reading.Read();
    session.Explain(reading, report.chat_commands);
    if (interactive) {
      std::vector<std::string> commands = report.chat_commands;
      commands.insert(commands.end(), report.console_commands.begin(),
                      report.console_commands.end());
      RunInteractive(session, HelpText(report.chat_commands, report.console_commands),
                     std::move(commands));
    } else {
      script_failed = script ? !PlayAll(session, *script, nullptr, options.script)
                             : !PlayAll(session, std::cin, stdin, "standard input");
    }
    invalid_lines = session.InvalidLines();
    plugin.reset();
  }

  const AllocatorStats stats = host.Allocator().Stats();
  writer->Exit(stats);
  host.SetScreenListener({});
  host.SetSinks({});
  if (script_failed) {
    return kExitUnreadable;
  }
  // The gravest wins: a plugin that did not start, then leaked game memory, then a script
  // that did not play what it says.
  if (!report.ok) {
    return kExitNotStarted;
  }
  if (stats.live_blocks != 0) {
    return kExitLeaked;
  }
  return invalid_lines == 0 ? kExitOk : kExitInvalidLines;
}

}  // namespace devhost
