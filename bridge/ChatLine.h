#pragma once
// The chat record handed to "AShooterPlayerController.ClientChatMessage". The game reads it
// directly, so every offset is fixed. It goes by value: the game takes over its strings and
// releases them. The plugin fills Sender and Text; the other fields belong to the game and are
// only ever given the neutral values below.

#include <cstddef>
#include <cstdint>

#include "bridge/FString.h"

struct FChatLine {
  FString Sender;
  FString SenderPlatformName;
  FString SenderTribeName;
  std::int32_t SenderId = 0;
  FString Text;
  FString Receiver;
  std::int32_t SenderTeam = 0;
  double ReceivedTime = -1.0;
  std::uint8_t SendMode = 0;
  std::int32_t RadioFrequency = 0;
  std::uint8_t ChatKind = 0;
  void* SenderIcon = nullptr;
  FString UserId;
};

static_assert(sizeof(FChatLine) == 144, "FChatLine is a 144-byte game record");
static_assert(offsetof(FChatLine, Sender) == 0, "FChatLine::Sender");
static_assert(offsetof(FChatLine, SenderPlatformName) == 16, "FChatLine string at 16");
static_assert(offsetof(FChatLine, SenderTribeName) == 32, "FChatLine string at 32");
static_assert(offsetof(FChatLine, SenderId) == 48, "FChatLine integer at 48");
static_assert(offsetof(FChatLine, Text) == 56, "FChatLine::Text");
static_assert(offsetof(FChatLine, Receiver) == 72, "FChatLine string at 72");
static_assert(offsetof(FChatLine, SenderTeam) == 88, "FChatLine integer at 88");
static_assert(offsetof(FChatLine, ReceivedTime) == 96, "FChatLine float at 96");
static_assert(offsetof(FChatLine, SendMode) == 104, "FChatLine byte at 104");
static_assert(offsetof(FChatLine, RadioFrequency) == 108, "FChatLine integer at 108");
static_assert(offsetof(FChatLine, ChatKind) == 112, "FChatLine byte at 112");
static_assert(offsetof(FChatLine, SenderIcon) == 120, "FChatLine pointer at 120");
static_assert(offsetof(FChatLine, UserId) == 128, "FChatLine string at 128");
