#include "bridge/Senders.h"

#include <new>

#include "bridge/ChatLine.h"
#include "bridge/HostApi.h"

namespace {

template <typename Fn>
Fn LookUp(const char* name) {
  return reinterpret_cast<Fn>(GetAddress(name));
}

template <typename Char>
void SendServerChat(AShooterPlayerController* player, FLinearRgba colour, const Char* text) {
  FString message = FString::Formatted(text);
  FLinearRgba colour_copy = colour;
  using Fn = void (*)(AShooterPlayerController*, FString*, FLinearRgba*, bool);
  const auto send = LookUp<Fn>("AShooterPlayerController.ClientServerChatDirectMessage");
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

  using Fn = void (*)(AShooterPlayerController*, FChatLine*);
  const auto send = LookUp<Fn>("AShooterPlayerController.ClientChatMessage");
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
  using Fn =
      void (*)(AShooterPlayerController*, FString*, FLinearRgba*, float, float, void*, void*);
  const auto send = LookUp<Fn>("AShooterPlayerController.ClientServerSOTFNotificationCustom");
  if (player == nullptr || send == nullptr) {
    return;
  }
  send(player, &message, &colour_copy, display_scale, display_time, nullptr, nullptr);
}
