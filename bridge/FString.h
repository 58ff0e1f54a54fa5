#pragma once
// The game's wide string. The game reads this record directly, so its layout is fixed, and its
// storage always comes from (and goes back to) the game's allocator. The operations declared
// here are defined by the plugin (bridge/FString.cpp); the host uses only the record and its
// inline empty construction.

#include <cstddef>
#include <cstdint>

struct FString {
  char16_t* Data;
  std::int32_t Count;  // code units in use, the terminating zero included; 0 when empty
  std::int32_t Capacity;

  FString() noexcept : Data(nullptr), Count(0), Capacity(0) {}
  FString(const FString& other);
  FString& operator=(const FString&) = delete;
  ~FString();

  // One unit per byte; bytes 0x80 to 0xFF become '?'. Null or "" gives the empty string.
  static FString FromNarrow(const char* text);
  // Wide text as UTF-16 units (converted from 32-bit wchar_t where the platform has those).
  static FString FromWide(const wchar_t* text);
  // The text is the format string, with no arguments: "{{" gives "{", a field raises
  // fmt::FormatError before anything is allocated (bridge/ReplyFormat.h).
  static FString Formatted(const char* text);
  static FString Formatted(const wchar_t* text);

 private:
  FString(const char16_t* units, std::int32_t count);
  void Grow();
};

static_assert(sizeof(FString) == 16, "FString is a 16-byte game record");
static_assert(offsetof(FString, Data) == 0, "FString::Data at offset 0");
static_assert(offsetof(FString, Count) == 8, "FString::Count at offset 8");
static_assert(offsetof(FString, Capacity) == 12, "FString::Capacity at offset 12");
