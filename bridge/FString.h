#pragma once
// The game's wide string record. The game reads it directly, so its layout is fixed. Its storage
// always comes from (and goes back to) the game's allocator; whoever owns the record releases it.
// The record itself owns nothing: copying it copies the pointer, not the text.

#include <cstddef>
#include <cstdint>

struct FString {
  char16_t* Data = nullptr;
  std::int32_t Count = 0;  // code units in use, the terminating zero included; 0 when empty
  std::int32_t Capacity = 0;
};

static_assert(sizeof(FString) == 16, "FString is a 16-byte game record");
static_assert(offsetof(FString, Data) == 0, "FString::Data at offset 0");
static_assert(offsetof(FString, Count) == 8, "FString::Count at offset 8");
static_assert(offsetof(FString, Capacity) == 12, "FString::Capacity at offset 12");
