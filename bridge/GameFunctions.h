#pragma once
// The game functions the plugin reaches through GetAddress, each declared once: the name the
// host knows it by (class, point, function) and its signature. The plugin looks functions up
// by these declarations; a host registers its own under them, and a function of another
// signature does not compile on either side.

#include <cstdint>
#include <limits>

#include "bridge/GameTypes.h"
#include "bridge/HostApi.h"

struct FLinearRgba;
struct FChatLine;

// The host hands addresses out as void*; a function's address must survive the round trip.
static_assert(sizeof(void*) == sizeof(void (*)()), "function addresses fit in a data pointer");
// The game reads these as one byte and a 32-bit IEEE float.
static_assert(sizeof(bool) == 1, "bool is the game's one-byte flag");
static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559,
              "float is the game's 32-bit IEEE float");

template <typename Signature>
struct GameFunction {
  using Pointer = Signature*;
  const char* name;
};

// The game's allocator: Realloc with a null pointer allocates, Free takes a block back.
inline constexpr GameFunction<void*(void*, std::uint64_t)> kFMemoryRealloc{"FMemory.Realloc"};
inline constexpr GameFunction<void(void*)> kFMemoryFree{"FMemory.Free"};

// The three senders' targets, each for one player alone. The chat record goes by value in the
// game's calling convention, that is as the address of a copy the game takes over.
inline constexpr GameFunction<void(AShooterPlayerController*, FString* text, FLinearRgba* colour,
                                   bool bold)>
    kClientServerChatDirectMessage{"AShooterPlayerController.ClientServerChatDirectMessage"};
inline constexpr GameFunction<void(AShooterPlayerController*, FChatLine* line)> kClientChatMessage{
    "AShooterPlayerController.ClientChatMessage"};
inline constexpr GameFunction<void(AShooterPlayerController*, FString* text, FLinearRgba* colour,
                                   float scale, float time, void* icon, void* sound)>
    kClientServerSOTFNotificationCustom{
        "AShooterPlayerController.ClientServerSOTFNotificationCustom"};

namespace quorvane {

// The address the host gives for `function` at this moment, typed by its declaration; null when
// the host has none.
template <typename Signature>
Signature* LookUp(GameFunction<Signature> function) {
  return reinterpret_cast<Signature*>(GetAddress(function.name));
}

}  // namespace quorvane
