#include "bridge/Senders.h"

#include <new>

#include "bridge/ChatLine.h"
#include "bridge/GameFunctions.h"

namespace quorvane {

namespace {

template <typename Char>
void SendServerChat(AShooterPlayerController* player, FLinearRgba colour, const Char* text) {
  FString message = FString::Formatted(text);
  FLinearRgba colour_copy = colour;
  const auto send = LookUp(kClientServerChatDirectMessage);
  if (player == nullptr || send == nullptr) {
    return;
  }
  send(player, &message, &colour_copy, false);
}

}  // namespace

void SendServerChatLine(AShooterPlayerController* player, FLinearRgba colour, const char* text) {
  SendServerChat(player, colour, text);
}

void SendServerChatLine(AShooterPlayerController* player, FLinearRgba colour, const wchar_t* text) {
  SendServerChat(player, colour, text);
}

void SendClientChatLine(AShooterPlayerController* player, const FString& sender_name,
                        const wchar_t* text) {
  FString message = FString::Formatted(text);
  const FChatLine line(sender_name, message);

  // The record goes by value: the game function takes over this copy and releases its
  // strings, so its storage is managed by hand and it is never destroyed here.
  alignas(FChatLine) unsigned char storage[sizeof(FChatLine)];
  FChatLine* handed_over = new (storage) FChatLine(line);

  const auto send = LookUp(kClientChatMessage);
  if (player == nullptr || send == nullptr) {
    handed_over->~FChatLine();  // nobody took it over
    return;
  }
  send(player, handed_over);
}

void ShowNotification(AShooterPlayerController* player, FLinearRgba colour, float display_scale,
                      float display_time, const wchar_t* text) {
  FString message = FString::Formatted(text);
  FLinearRgba colour_copy = colour;
  const auto send = LookUp(kClientServerSOTFNotificationCustom);
  if (player == nullptr || send == nullptr) {
    return;
  }
  send(player, &message, &colour_copy, display_scale, display_time, nullptr, nullptr);
}

}  // namespace quorvane
