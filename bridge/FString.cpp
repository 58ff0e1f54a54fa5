#include "bridge/FString.h"

#include <climits>
#include <cstring>
#include <stdexcept>
#include <string>

#include "bridge/GameAllocator.h"
#include "bridge/ReplyFormat.h"
#include "bridge/WideText.h"

namespace {

std::int32_t CountWithTerminator(std::size_t length) {
  if (length >= static_cast<std::size_t>(INT32_MAX)) {
    throw std::length_error("text too long for a game string");
  }
  return static_cast<std::int32_t>(length + 1);
}

}  // namespace

FString::FString(const char16_t* units, std::int32_t count) : FString() {
  if (count <= 1) {
    return;  // the empty string holds no terminator and allocates nothing
  }
  Count = count;
  Grow();
  std::memcpy(Data, units, static_cast<std::size_t>(Count) * sizeof(char16_t));
}

FString::FString(const FString& other) : FString() {
  Count = other.Count;
  if (Count <= 0) {
    Count = 0;
    return;
  }
  // Exact sizing from a fresh record: copies carry no spare room.
  Data = static_cast<char16_t*>(quorvane::GameRealloc(
      nullptr, static_cast<std::uint64_t>(static_cast<std::int64_t>(Count)) * 2));
  Capacity = Count;
  std::memcpy(Data, other.Data, static_cast<std::size_t>(Count) * sizeof(char16_t));
}

FString::~FString() {
  quorvane::GameFree(Data);
}

void FString::Grow() {
  std::int32_t capacity;
  if (Capacity == 0 && static_cast<std::uint32_t>(Count) <= 4) {
    capacity = 4;
  } else {
    const std::int64_t extra = 3 * static_cast<std::int64_t>(Count) / 8;
    capacity = static_cast<std::int32_t>(static_cast<std::uint32_t>(Count) +
                                         static_cast<std::uint32_t>(extra) + 16u);
  }
  if (Count > capacity) {
    capacity = INT32_MAX;
  }
  if (Data != nullptr || capacity != 0) {
    Data = static_cast<char16_t*>(quorvane::GameRealloc(
        Data, static_cast<std::uint64_t>(static_cast<std::int64_t>(capacity)) * 2));
  }
  Capacity = capacity;
}

FString FString::FromNarrow(const char* text) {
  if (text == nullptr) {
    return FString();
  }
  // An empty text is a count of 1, which the constructor keeps the empty string.
  const std::size_t length = std::strlen(text);
  std::u16string units(length + 1, u'\0');
  for (std::size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    units[i] = byte < 0x80 ? static_cast<char16_t>(byte) : u'?';
  }
  return FString(units.c_str(), CountWithTerminator(length));
}

FString FString::FromWide(const wchar_t* text) {
  // An empty text is a count of 1, which the constructor keeps the empty string.
  const std::u16string units = quorvane::ToUtf16Units(text);
  return FString(units.c_str(), CountWithTerminator(units.size()));
}

FString FString::Formatted(const char* text) {
  const std::string formatted = quorvane::FormatWithoutArguments(text);
  return FromNarrow(formatted.c_str());
}

FString FString::Formatted(const wchar_t* text) {
  const std::wstring formatted = quorvane::FormatWithoutArguments(text);
  return FromWide(formatted.c_str());
}
