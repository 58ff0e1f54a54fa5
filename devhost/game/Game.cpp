#include "devhost/game/Game.h"

#include <utility>

namespace devhost {

Game& Game::Instance() {
  static Game game;
  return game;
}

void Game::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  players_.clear();
  player_addresses_.clear();
  screen_listener_ = nullptr;
}

AShooterPlayerController& Game::Player(const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto& slot = players_[name];
  if (!slot) {
    slot = std::make_unique<AShooterPlayerController>(name);
    player_addresses_.insert(slot.get());
  }
  return *slot;
}

bool Game::IsPlayer(const AShooterPlayerController* player) const {
  if (player == nullptr) {
    return false;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  return player_addresses_.count(player) != 0;
}

void Game::SetScreenListener(ScreenListener listener) {
  std::lock_guard<std::mutex> lock(mutex_);
  screen_listener_ = std::move(listener);
}

void Game::Show(AShooterPlayerController& player, ScreenMessage message) {
  ScreenListener listener;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    listener = screen_listener_;
  }
  if (listener) {
    listener(player, message);
  }
  player.Show(std::move(message));
}

void Game::SetWarning(GameWarning warning) {
  std::lock_guard<std::mutex> lock(mutex_);
  warning_ = std::move(warning);
}

void Game::Warn(const std::string& text) const {
  GameWarning warning;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    warning = warning_;
  }
  if (warning) {
    warning(text);
  }
}

}  // namespace devhost
