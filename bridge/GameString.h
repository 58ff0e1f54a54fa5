#pragma once
// A game string the plugin owns: the FString record plus the plugin's operations on it. Its
// storage comes from the game's allocator and goes back there when it is destroyed. It is the
// record and nothing more, so a pointer to it is a pointer to the record the game reads.

#include <cstdint>

#include "bridge/FString.h"

class GameString : public FString {
 public:
  GameString() noexcept = default;
  // Deep copies, exactly sized: a copy carries no spare room.
  explicit GameString(const FString& other);
  GameString(const GameString& other) : GameString(static_cast<const FString&>(other)) {}
  GameString& operator=(const GameString&) = delete;
  ~GameString();

  // One unit per byte; bytes 0x80 to 0xFF become '?'. Null or "" gives the empty string.
  static GameString FromNarrow(const char* text);
  // Wide text as UTF-16 units (converted from 32-bit wchar_t where the platform has those).
  static GameString FromWide(const wchar_t* text);
  // The text is the format string, with no arguments: "{{" gives "{", a field raises
  // fmt::format_error before anything is allocated.
  static GameString Formatted(const char* text);
  static GameString Formatted(const wchar_t* text);

  // Gives the storage to whoever takes the returned record (the game, for a record passed by
  // value) and leaves this string empty.
  FString Release() noexcept;

 private:
  GameString(const char16_t* units, std::int32_t count);
  void Grow();
};

static_assert(sizeof(GameString) == sizeof(FString), "a GameString is exactly the game record");
