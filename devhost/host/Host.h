#pragma once
// The development host: our stand-in for the plugin host and the game. One process-wide
// instance serves the exported host functions; the program and the tests drive it directly.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "bridge/GameFunctions.h"
#include "bridge/GameTypes.h"
#include "devhost/game/Game.h"
#include "devhost/host/CommandRegistry.h"

// The host's spdlog release is the host library's own business (devhost/host/LogSinks.h makes
// sinks for it); this header names its types only.
namespace spdlog {
class logger;
namespace sinks {
class sink;
}  // namespace sinks
}  // namespace spdlog

namespace devhost {

// The host's own line format. Each logger formats its own lines, so the plugin's lines keep
// the plugin's format in the same sinks.
inline constexpr const char* kHostLogPattern = "%Y-%m-%d %H:%M:%S [%n][%l] %v";

struct DispatchResult {
  enum class Status { Unmatched, Done, Failed };
  Status status = Status::Unmatched;
  std::string command;  // the registered command text, UTF-8
  std::string error;    // the exception's message when Failed
};

using SinkList = std::vector<std::shared_ptr<spdlog::sinks::sink>>;

class Host {
 public:
  static Host& Instance();

  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // Back to a fresh host: working directory, console sink, empty registry, no players,
  // the game's functions in the address table. The allocator's blocks are kept.
  void Reset();

  void SetServerDir(std::string directory);
  std::string ServerDir() const;

  // The host's sink list (GetLogSinks). Replacing it also rebuilds the host's own logger.
  SinkList& Sinks() { return sinks_; }
  void SetSinks(SinkList sinks);
  spdlog::logger& Logger() { return *logger_; }

  CommandRegistry& Registry() { return registry_; }
  GameAllocator& Allocator() { return game_.Allocator(); }
  Trace& GetTrace() { return game_.GetTrace(); }

  // GetAddress: the game function of that name, or null with a host warning.
  void* Resolve(const std::string& name);

  // The game's players (devhost/game/Game.h); valid until Reset.
  AShooterPlayerController& Player(const std::string& name) { return game_.Player(name); }
  bool IsPlayer(const AShooterPlayerController* player) const { return game_.IsPlayer(player); }
  void SetScreenListener(ScreenListener listener) { game_.SetScreenListener(std::move(listener)); }

  // A chat line typed by `player`; a console line entered by `player` or, when it is null,
  // on the server console. One callback runs at a time, whichever thread asks; an exception
  // out of a callback is logged and reported, never passed on.
  DispatchResult DispatchChat(AShooterPlayerController* player, std::string_view text,
                              EChatSendMode::Type mode = EChatSendMode::GlobalChat);
  DispatchResult DispatchConsole(AShooterPlayerController* player, std::string_view text);
  // A chat line handed to one given registration, as if the registry had matched it: reaches
  // commands that no typed line can (a duplicate, an empty text).
  DispatchResult DispatchChatTo(const RegisteredCommand<ChatCommandCallback>& command,
                                AShooterPlayerController* player, std::string_view text);

 private:
  // Tests put stand-ins for the game's functions through it (devhost/host/HostSeams.h).
  friend class HostSeams;
  void SetAddress(const std::string& name, void* address);
  void RestoreAddresses();

  Host();
  template <typename Run>
  DispatchResult Dispatch(const std::u16string& name, std::u16string_view text, Run run);

  mutable std::mutex state_mutex_;
  std::string server_dir_;
  SinkList sinks_;
  std::shared_ptr<spdlog::logger> logger_;
  CommandRegistry registry_;
  Game& game_ = Game::Instance();
  std::unordered_map<std::string, void*> addresses_;
  std::mutex dispatch_mutex_;
};

}  // namespace devhost
