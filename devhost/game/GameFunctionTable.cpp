#include "devhost/game/GameFunctionTable.h"

#include <cstdint>

#include <spdlog/fmt/fmt.h>

#include "bridge/ChatLine.h"
#include "bridge/ColourRecords.h"
#include "bridge/FString.h"
#include "bridge/GameFunctions.h"
#include "devhost/game/Game.h"
#include "devhost/game/GameString.h"
#include "devhost/text/Text.h"

namespace devhost {
namespace {

void* Realloc(void* pointer, std::uint64_t bytes) {
  Game& game = Game::Instance();
  void* result = game.Allocator().Realloc(pointer, bytes);
  game.GetTrace().Record(TraceEvent::Kind::Realloc, kFMemoryRealloc.name, pointer, bytes, result);
  return result;
}

void Free(void* pointer) {
  Game& game = Game::Instance();
  game.GetTrace().Record(TraceEvent::Kind::Free, kFMemoryFree.name, pointer, 0, nullptr);
  game.Allocator().Free(pointer);
}

// The game releases the strings of a record it took over through its own allocator.
void Release(FString& string) {
  if (string.Data != nullptr) {
    Free(string.Data);
    string.Data = nullptr;
  }
  string.Count = 0;
  string.Capacity = 0;
}

AShooterPlayerController* Receiver(AShooterPlayerController* player, const char* function) {
  Game& game = Game::Instance();
  game.GetTrace().Record(TraceEvent::Kind::GameCall, function, player, 0, nullptr);
  if (!game.IsPlayer(player)) {
    game.Warn(fmt::format("{} called for {}, which is no player controller", function,
                          static_cast<const void*>(player)));
    return nullptr;
  }
  return player;
}

void ClientServerChatDirectMessage(AShooterPlayerController* player, FString* text,
                                   FLinearRgba* colour, bool bold) {
  if (AShooterPlayerController* receiver = Receiver(player, kClientServerChatDirectMessage.name)) {
    ScreenMessage message;
    message.kind = ScreenMessage::Kind::ServerChat;
    message.text = UnitsOf(*text);
    message.colour = *colour;
    message.bold = bold;
    Game::Instance().Show(*receiver, std::move(message));
  }
}

void ClientChatMessage(AShooterPlayerController* player, FChatLine* line) {
  if (AShooterPlayerController* receiver = Receiver(player, kClientChatMessage.name)) {
    ScreenMessage message;
    message.kind = ScreenMessage::Kind::ClientChat;
    message.text = UnitsOf(line->Text);
    message.sender = UnitsOf(line->Sender);
    Game::Instance().Show(*receiver, std::move(message));
  }
  // The record was passed by value: it is ours now, whoever it was meant for.
  for (FString* string : {&line->Sender, &line->SenderPlatformName, &line->SenderTribeName,
                          &line->Text, &line->Receiver, &line->UserId}) {
    Release(*string);
  }
}

void ClientServerSOTFNotificationCustom(AShooterPlayerController* player, FString* text,
                                        FLinearRgba* colour, float scale, float time,
                                        void* /*icon*/, void* /*sound*/) {
  if (AShooterPlayerController* receiver =
          Receiver(player, kClientServerSOTFNotificationCustom.name)) {
    ScreenMessage message;
    message.kind = ScreenMessage::Kind::Notification;
    message.text = UnitsOf(*text);
    message.colour = *colour;
    message.scale = scale;
    message.time = time;
    Game::Instance().Show(*receiver, std::move(message));
  }
}

// An entry of the address table. The implementation must have the declared signature: a
// drift on either side stops the build here.
template <typename Signature>
std::pair<const std::string, void*> Entry(
    GameFunction<Signature> function, typename GameFunction<Signature>::Pointer implementation) {
  return {function.name, reinterpret_cast<void*>(implementation)};
}

}  // namespace

std::unordered_map<std::string, void*> GameFunctionTable() {
  return {
      Entry(kFMemoryRealloc, &Realloc),
      Entry(kFMemoryFree, &Free),
      Entry(kClientServerChatDirectMessage, &ClientServerChatDirectMessage),
      Entry(kClientChatMessage, &ClientChatMessage),
      Entry(kClientServerSOTFNotificationCustom, &ClientServerSOTFNotificationCustom),
  };
}

}  // namespace devhost
