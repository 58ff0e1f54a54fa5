#include "devhost/session/Interactive.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "devhost/present/Output.h"
#include "plugin/ReloadCommandName.h"

#if defined(DEVHOST_HAVE_LIBEDIT)
#include <editline/readline.h>
#endif

namespace devhost {
namespace {

constexpr const char* kPrompt = "devhost> ";

#if defined(DEVHOST_HAVE_LIBEDIT)
bool ReadLine(std::string& line) {
  const std::unique_ptr<char, decltype(&std::free)> read(readline(kPrompt), &std::free);
  if (!read) {
    return false;
  }
  line = read.get();
  if (!Trimmed(line).empty()) {
    add_history(read.get());
  }
  return true;
}
#else
// Without libedit (the MinGW build) the terminal's own line input has to do.
bool ReadLine(std::string& line) {
  std::fputs(kPrompt, stdout);
  std::fflush(stdout);
  return static_cast<bool>(std::getline(std::cin, line));
}
#endif

}  // namespace

std::vector<std::string> HelpText(const std::vector<std::string>& chat_commands,
                                  const std::vector<std::string>& console_commands) {
  return {
      "Chat commands: " + Joined(chat_commands),
      "Console commands: " + Joined(console_commands),
      "Lines:",
      "  NAME: TEXT   player NAME types TEXT in chat         (alice: /rules)",
      std::string("  NAME> TEXT   player NAME enters TEXT on the console (alice> ") +
          quorvane::kReloadCommandName + ")",
      std::string("  > TEXT       the server console, no player          (> ") +
          quorvane::kReloadCommandName + ")",
      "  help         this list;  quit or Ctrl-D ends the session",
  };
}

void RunInteractive(Session& session, const std::vector<std::string>& help) {
  std::string line;
  std::size_t number = 0;
  while (ReadLine(line)) {
    ++number;
    const std::string_view command = Trimmed(line);
    if (command == "help") {
      for (const std::string& help_line : help) {
        PutLine(stdout, help_line);
      }
      Flush(stdout);
      continue;
    }
    if (command == "quit") {
      break;
    }
    session.Process(line, number);
  }
}

}  // namespace devhost
