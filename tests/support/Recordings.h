#pragma once
// Readable forms of what the development host records, so tests compare whole sequences and
// whole messages exactly.

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bridge/GameFunctions.h"
#include "devhost/host/Host.h"
#include "devhost/host/LogSinks.h"
#include "devhost/present/MessageText.h"
#include "devhost/text/Text.h"
#include "tests/support/LogTime.h"
#include "tests/support/TestSupport.h"

namespace test_support {

// One line per crossing into the game. Pointers are named by the allocation that produced them
// ("#1", "#2", ...), numbered afresh at every allocation, so lines do not depend on addresses.
inline std::vector<std::string> TraceText(const std::vector<devhost::TraceEvent>& events) {
  using Kind = devhost::TraceEvent::Kind;
  std::map<const void*, int> names;
  int next = 0;
  const auto name = [&](const void* pointer) {
    if (pointer == nullptr) {
      return std::string("null");
    }
    const auto found = names.find(pointer);
    return found == names.end() ? std::string("foreign") : "#" + std::to_string(found->second);
  };
  std::vector<std::string> lines;
  for (const auto& event : events) {
    switch (event.kind) {
      case Kind::Lookup:
        lines.push_back("lookup " + event.name + (event.result == nullptr ? " -> null" : ""));
        break;
      case Kind::Realloc: {
        std::string line =
            "realloc(" + name(event.pointer) + ", " + std::to_string(event.bytes) + ")";
        if (event.result != nullptr) {
          names[event.result] = ++next;
        }
        lines.push_back(line + " -> " + name(event.result));
        break;
      }
      case Kind::Free:
        lines.push_back("free(" + name(event.pointer) + ")");
        break;
      case Kind::GameCall:
        lines.push_back("call " + event.name);
        break;
    }
  }
  return lines;
}

// A screen message as "ServerChat (R, G, B, A) text", "ClientChat Sender: text" or
// "Notification (R, G, B, A) scale time text"; floats in their shortest exact form.
inline std::string ScreenText(const devhost::ScreenMessage& message) {
  const auto& c = message.colour;
  const std::string colour = FloatsText({c.R, c.G, c.B, c.A});
  const std::string text = devhost::Utf16ToUtf8(message.text);
  switch (message.kind) {
    case devhost::ScreenMessage::Kind::ServerChat:
      return "ServerChat " + colour + (message.bold ? " bold " : " ") + text;
    case devhost::ScreenMessage::Kind::ClientChat:
      return "ClientChat " + devhost::Utf16ToUtf8(message.sender) + ": " + text;
    case devhost::ScreenMessage::Kind::Notification:
      return "Notification " + colour + " " + devhost::FloatText(message.scale) + " " +
             devhost::FloatText(message.time) + " " + text;
  }
  return "?";
}

// A game function's lookup and call, as TraceText writes them.
template <typename Signature>
std::string LookupLine(GameFunction<Signature> function) {
  return std::string("lookup ") + function.name;
}
template <typename Signature>
std::string CallLine(GameFunction<Signature> function) {
  return std::string("call ") + function.name;
}

// What the player's screen holds, one ScreenText line per message.
inline std::vector<std::string> ScreenLines(const AShooterPlayerController& player) {
  std::vector<std::string> lines;
  for (const auto& message : player.Screen()) {
    lines.push_back(ScreenText(message));
  }
  return lines;
}

using ShownLine = std::function<std::string(const AShooterPlayerController& player,
                                            const devhost::ScreenMessage& message)>;

// From now on, puts what the host shows into `events` in the order it happens: each log line as
// "log " and the line without its time, each screen message as `shown` writes it. The host's
// sinks are replaced; the next Reset ends the recording.
inline void RecordEvents(
    std::vector<std::string>& events,
    ShownLine shown = [](const AShooterPlayerController&, const devhost::ScreenMessage& message) {
      return ScreenText(message);
    }) {
  devhost::Host& host = devhost::Host::Instance();
  host.SetSinks({devhost::MakeLineSink(
      [&events](const std::string& line) { events.push_back("log " + WithoutTime(line)); })});
  host.SetScreenListener(
      [&events, shown = std::move(shown)](const AShooterPlayerController& player,
                                          const devhost::ScreenMessage& message) {
        events.push_back(shown(player, message));
      });
}

// Records every crossing into the simulated game while it lives.
class TraceScope {
 public:
  TraceScope() { devhost::Host::Instance().GetTrace().Start(); }
  TraceScope(const TraceScope&) = delete;
  TraceScope& operator=(const TraceScope&) = delete;
  ~TraceScope() { devhost::Host::Instance().GetTrace().Stop(); }
  std::vector<std::string> Lines() {
    return TraceText(devhost::Host::Instance().GetTrace().Stop());
  }
};

}  // namespace test_support
