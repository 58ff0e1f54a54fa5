#pragma once
// The three ways the plugin puts text on one player's screen. Each formats its text first
// (fmt::FormatError leaves before anything is looked up), looks its game function up by name
// once per send and calls it for that player alone. A null controller or a game function the
// host cannot resolve sends nothing.

#include "bridge/Colours.h"
#include "bridge/FString.h"
#include "bridge/GameTypes.h"

namespace quorvane {

void SendServerChatLine(AShooterPlayerController* player, FLinearRgba colour, const char* text);
void SendServerChatLine(AShooterPlayerController* player, FLinearRgba colour, const wchar_t* text);
void SendClientChatLine(AShooterPlayerController* player, const FString& sender_name,
                        const wchar_t* text);
void ShowNotification(AShooterPlayerController* player, FLinearRgba colour, float display_scale,
                      float display_time, const wchar_t* text);

}  // namespace quorvane
