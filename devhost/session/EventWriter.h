#pragma once
// What a session shows: for people (readable lines) or for programs (JSON Lines).

#include <cstddef>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "devhost/game/Allocator.h"
#include "devhost/game/Players.h"
#include "devhost/host/PluginLoader.h"
#include "devhost/present/MessageText.h"

namespace devhost {

class EventWriter {
 public:
  virtual ~EventWriter() = default;
  virtual void Start(const StartReport& report) = 0;
  virtual void Message(const std::string& player, const ScreenMessage& message) = 0;
  // A line written through the host's sinks.
  virtual void Log(const std::string& line) = 0;
  // The host has logged the failure; `reason`, when the session's reading tells, says in words
  // what in the entry made it fail.
  virtual void CommandFailed(const std::optional<std::string>& player, const std::string& command,
                             const std::string& error, const std::string& reason) = 0;
  // A chat command ran and sent its player nothing; `reason` says why.
  virtual void NothingSent(const std::string& player, const std::string& command,
                           const std::string& reason) = 0;
  // `registered_at_next_start`: config.json has a command the line reaches, which the plugin
  // registers only when it starts.
  virtual void Unmatched(const std::optional<std::string>& player, const std::string& text,
                         bool registered_at_next_start) = 0;
  // The server console reloaded the configuration: `ok` when the answer is green, `text` the
  // answer, which no screen showed.
  virtual void ConsoleAnswer(const std::string& command, bool ok, const std::string& text) = 0;
  // The server console ran `command`; whatever it answered reached no screen.
  virtual void AnswerWithoutScreen(const std::string& command) = 0;
  // A line that is not a session line; `number` counts from 1.
  virtual void InvalidLine(std::size_t number, const std::string& line,
                           const std::string& reason) = 0;
  virtual void Exit(const AllocatorStats& stats) = 0;
};

std::unique_ptr<EventWriter> MakeHumanWriter(std::FILE* out);
std::unique_ptr<EventWriter> MakeJsonWriter(std::FILE* out);

// Command names for people: "a, b, c", or "none".
std::string Joined(const std::vector<std::string>& names);

}  // namespace devhost
