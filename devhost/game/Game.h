#pragma once
// The simulated game: its allocator, its players and what reaches their screens. One
// process-wide instance, because the game's functions are plain function pointers handed out by
// name and carry no context of their own.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>

#include "devhost/game/Allocator.h"
#include "devhost/game/Players.h"
#include "devhost/game/Trace.h"

namespace devhost {

using ScreenListener =
    std::function<void(const AShooterPlayerController& player, const ScreenMessage& message)>;
// Where the game's complaints go: the host's log.
using GameWarning = std::function<void(const std::string& text)>;

class Game {
 public:
  static Game& Instance();

  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  // No players and no listener; the allocator's blocks are kept.
  void Reset();

  GameAllocator& Allocator() { return allocator_; }
  Trace& GetTrace() { return trace_; }

  // The player of that name, created at first use. Its address stays valid until Reset.
  AShooterPlayerController& Player(const std::string& name);
  bool IsPlayer(const AShooterPlayerController* player) const;
  void SetScreenListener(ScreenListener listener);
  // Called by the game's functions.
  void Show(AShooterPlayerController& player, ScreenMessage message);

  void SetWarning(GameWarning warning);
  void Warn(const std::string& text) const;

 private:
  Game() = default;

  mutable std::mutex mutex_;
  GameAllocator allocator_;
  Trace trace_;
  std::map<std::string, std::unique_ptr<AShooterPlayerController>> players_;
  // The same players by address: every message the game shows asks whether it has a player.
  std::unordered_set<const AShooterPlayerController*> player_addresses_;
  ScreenListener screen_listener_;
  GameWarning warning_;
};

}  // namespace devhost
