#pragma once
// The simulated game's player controllers, each with a record of what was put on its screen.

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

inline const char* KindName(ScreenMessage::Kind kind) {
  switch (kind) {
    case ScreenMessage::Kind::ServerChat:
      return "ServerChat";
    case ScreenMessage::Kind::ClientChat:
      return "ClientChat";
    case ScreenMessage::Kind::Notification:
      return "Notification";
  }
  return "?";
}

}  // namespace devhost

// Standard layout with an empty base, so a controller seen as its base class has the same
// address: the host hands console callbacks the APlayerController* of a shooter controller.
class APlayerController {};

class AShooterPlayerController : public APlayerController {
 public:
  explicit AShooterPlayerController(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }
  const std::vector<devhost::ScreenMessage>& Screen() const { return screen_; }
  void Show(devhost::ScreenMessage message) { screen_.push_back(std::move(message)); }
  void ClearScreen() { screen_.clear(); }

 private:
  std::string name_;
  std::vector<devhost::ScreenMessage> screen_;
};
