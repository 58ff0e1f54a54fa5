#pragma once
// Session lines: "NAME: TEXT" (chat), "NAME> TEXT" (that player's console), "> TEXT" (the
// server console, no player); blank lines and lines starting with '#' are skipped.

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/session/EventWriter.h"

namespace devhost {

class Host;
class SessionReading;

struct SessionLine {
  enum class Kind { Skip, Chat, PlayerConsole, ServerConsole, Invalid };
  Kind kind = Kind::Skip;
  std::string player;
  std::string text;
  std::string reason;  // Invalid: what is wrong with the line
};

SessionLine ParseSessionLine(std::string_view line);

// Without the blanks (spaces, tabs, line ends) at either end.
std::string_view Trimmed(std::string_view text);

class Session {
 public:
  Session(Host& host, EventWriter& writer) : host_(host), writer_(writer) {}

  // What the session explains chat commands with: its reading of config.json, taken at start
  // and renewed after each reload that answers green, and the chat commands registered at
  // start, in registration order, which is the order of the entries they are bound to.
  void Explain(SessionReading& reading, std::vector<std::string> chat_commands);

  // Processes one line fully (output flushed). Returns false for a line that is not a
  // session line, after the writer has told why.
  bool Process(std::string_view line, std::size_t line_number);
  // Every line of `input`, one at a time, until its end.
  void Run(std::istream& input);
  // Lines that were not session lines: a script that did not play what its author wrote.
  std::size_t InvalidLines() const { return invalid_lines_; }

 private:
  // The entry position the registered chat command `command` is bound to; the number of chat
  // commands when it is none of them.
  std::size_t PositionOf(const std::string& command) const;
  // After a reload the plugin answered: a new reading when it answered green.
  void Reloaded(AShooterPlayerController* player, const std::string& command);

  Host& host_;
  EventWriter& writer_;
  SessionReading* reading_ = nullptr;
  std::vector<std::string> chat_commands_;
  std::size_t invalid_lines_ = 0;
};

}  // namespace devhost
