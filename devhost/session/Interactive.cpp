#include "devhost/session/Interactive.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <utility>

#include "devhost/present/Output.h"
#include "devhost/text/Text.h"
#include "plugin/ReloadCommandName.h"

#if defined(DEVHOST_HAVE_LIBEDIT)
#include <editline/readline.h>
#endif

namespace devhost {
namespace {

constexpr const char* kPrompt = "devhost> ";

#if defined(DEVHOST_HAVE_LIBEDIT)
// What Tab completes to. The line editor's completion is a plain function, so the list is too.
std::vector<std::string> completions;

// The `state`-th command (from 0) that begins with `text`, letter case aside, as a string the
// line editor frees; null after the last.
char* NextCompletion(const char* text, int state) {
  static std::size_t next = 0;
  if (state == 0) {
    next = 0;
  }
  const std::string prefix = AsciiFolded(text);
  while (next < completions.size()) {
    const std::string& command = completions[next++];
    if (AsciiFolded(command).compare(0, prefix.size(), prefix) == 0) {
      return strdup(command.c_str());
    }
  }
  return nullptr;
}

void StartCompletion(std::vector<std::string> commands) {
  completions = std::move(commands);
  rl_completion_entry_function = &NextCompletion;
  // A command follows "NAME: ", "NAME> " or "> ", with or without the blank.
  static char word_breaks[] = " \t\n:>";
  rl_completer_word_break_characters = word_breaks;
  rl_basic_word_break_characters = word_breaks;
}

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
void StartCompletion(std::vector<std::string> /*commands*/) {}

bool ReadLine(std::string& line) {
  std::fputs(kPrompt, stdout);
  std::fflush(stdout);
  return static_cast<bool>(std::getline(std::cin, line));
}
#endif

}  // namespace

std::vector<std::string> SessionLineForms() {
  return {
      "  NAME: TEXT   player NAME types TEXT in chat         (alice: /rules)",
      std::string("  NAME> TEXT   player NAME enters TEXT on the console (alice> ") +
          quorvane::kReloadCommandName + ")",
      std::string("  > TEXT       the server console, no player          (> ") +
          quorvane::kReloadCommandName + ")",
  };
}

std::vector<std::string> HelpText(const std::vector<std::string>& chat_commands,
                                  const std::vector<std::string>& console_commands) {
  std::vector<std::string> help = {
      "Chat commands: " + Joined(chat_commands),
      "Console commands: " + Joined(console_commands),
      "Lines:",
  };
  for (std::string& form : SessionLineForms()) {
    help.push_back(std::move(form));
  }
  help.emplace_back("  help         this list;  quit or Ctrl-D ends the session");
  return help;
}

void RunInteractive(Session& session, const std::vector<std::string>& help,
                    std::vector<std::string> commands) {
  StartCompletion(std::move(commands));
  std::string line;
  std::size_t number = 0;
  for (;;) {
    if (!ReadLine(line)) {
      // Ctrl-D leaves the cursor after the prompt: what follows starts a line of its own.
      PutLine(stdout, "");
      Flush(stdout);
      return;
    }
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
      return;
    }
    session.Process(line, number);
  }
}

}  // namespace devhost
