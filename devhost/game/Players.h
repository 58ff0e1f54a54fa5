#pragma once
// The simulated game's player controllers, each with a record of the latest messages put on
// its screen.

#include <cstddef>
#include <deque>
#include <iterator>
#include <string>
#include <vector>

#include "bridge/ColourRecords.h"

namespace devhost {

struct ScreenMessage {
  enum class Kind { ServerChat, ClientChat, Notification };
  Kind kind = Kind::ServerChat;
  std::u16string text;    // the UTF-16 units read back from the game string, terminator excluded
  FLinearRgba colour{};   // ServerChat and Notification
  bool bold = false;      // ServerChat
  std::u16string sender;  // ClientChat
  float scale = 0.0f;     // Notification
  float time = 0.0f;      // Notification
};

// Each kind's word, in the enum's order: the name of the reply type that sends it.
inline constexpr const char* kKindNames[] = {"ServerChat", "ClientChat", "Notification"};

inline const char* KindName(ScreenMessage::Kind kind) {
  return kKindNames[static_cast<std::size_t>(kind)];
}

}  // namespace devhost

// Standard layout with an empty base, so a controller seen as its base class has the same
// address: the host hands console callbacks the APlayerController* of a shooter controller.
class APlayerController {};

class AShooterPlayerController : public APlayerController {
 public:
  // A session streams what it shows through the host's listener; the record is only for a
  // test or a probe to read what the last exchanges sent, so a long session or a huge reply
  // must not make it grow without end. The latest message is always kept whole.
  static constexpr std::size_t kKeptMessages = 256;
  static constexpr std::size_t kKeptUnits = std::size_t{1} << 20;

  explicit AShooterPlayerController(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }
  // Oldest first.
  const std::deque<devhost::ScreenMessage>& Screen() const { return screen_; }
  void Show(devhost::ScreenMessage message) {
    units_ += message.text.size();
    screen_.push_back(std::move(message));
    while (screen_.size() > kKeptMessages || (units_ > kKeptUnits && screen_.size() > 1)) {
      units_ -= screen_.front().text.size();
      screen_.pop_front();
    }
  }
  void ClearScreen() {
    screen_.clear();
    units_ = 0;
  }
  // The record, oldest first, leaving the screen clear.
  std::vector<devhost::ScreenMessage> TakeScreen() {
    std::vector<devhost::ScreenMessage> taken(std::make_move_iterator(screen_.begin()),
                                              std::make_move_iterator(screen_.end()));
    ClearScreen();
    return taken;
  }

 private:
  std::string name_;
  std::deque<devhost::ScreenMessage> screen_;
  std::size_t units_ = 0;  // text units held by screen_
};
