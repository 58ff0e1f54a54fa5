#include "bridge/Senders.h"

#include "bridge/ChatLine.h"
#include "bridge/GameString.h"
#include "bridge/HostApi.h"

namespace {

template <typename Fn>
Fn LookUp(const char* name) {
  return reinterpret_cast<Fn>(GetAddress(name));
}

template <typename Char>
void SendServerChat(AShooterPlayerController* player, FLinearRgba colour, const Char* text) {
  GameString message = GameString::Formatted(text);
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
  GameString message = GameString::Formatted(text);
  const GameString sender(sender_name);
  const GameString line_text(message);
  // The copies the game takes over with the record; released here only if nobody takes them.
  GameString handed_sender(sender);
  GameString handed_text(line_text);

  using Fn = void (*)(AShooterPlayerController*, FChatLine*);
  const auto send = LookUp<Fn>("AShooterPlayerController.ClientChatMessage");
  if (player == nullptr || send == nullptr) {
    return;
  }
  // The record goes by value: the game function releases its strings.
  FChatLine handed_over;
  handed_over.Sender = handed_sender.Release();
  handed_over.Text = handed_text.Release();
  send(player, &handed_over);
}

void ShowNotification(AShooterPlayerController* player, FLinearRgba colour, float display_scale,
                      float display_time, const wchar_t* text) {
  GameString message = GameString::Formatted(text);
  FLinearRgba colour_copy = colour;
  using Fn =
      void (*)(AShooterPlayerController*, FString*, FLinearRgba*, float, float, void*, void*);
  const auto send = LookUp<Fn>("AShooterPlayerController.ClientServerSOTFNotificationCustom");
  if (player == nullptr || send == nullptr) {
    return;
  }
  send(player, &message, &colour_copy, display_scale, display_time, nullptr, nullptr);
}
