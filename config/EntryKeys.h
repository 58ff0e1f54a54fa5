#pragma once
// The members of a "ChatCommands" entry: each key, the kind of value it holds, which reply types
// read it, and the order in which one use of a command reads them. The reply path, the check's
// findings and hints, and the schema's test all take them from here.

#include <array>
#include <string_view>

#include "config/ReplyTypes.h"

namespace quorvane {

enum class EntryValueKind {
  String,
  Number,  // a JSON number, or a boolean (IsGameNumber); the game receives a 32-bit float
  Colour,  // an array whose elements 0, 1, 2 and 3 are numbers: R, G, B, A
};

enum class EntryRead {
  AtRegistration,  // once, when the chat commands are registered
  EveryUse,        // at every use of the command, whatever its "Type" says
  ForTypes,        // at every use, for the reply types listed
};

struct EntryKey {
  const char* name;
  EntryValueKind kind;
  EntryRead read;
  // ForTypes: the reply types that read it; unused places are empty.
  std::array<std::string_view, 2> types;
};

inline constexpr EntryKey kCommandKey = {
    "Command", EntryValueKind::String, EntryRead::AtRegistration, {}};
inline constexpr EntryKey kReplyKey = {"Reply", EntryValueKind::String, EntryRead::EveryUse, {}};
inline constexpr EntryKey kTypeKey = {"Type", EntryValueKind::String, EntryRead::EveryUse, {}};
inline constexpr EntryKey kColorKey = {
    "Color", EntryValueKind::Colour, EntryRead::ForTypes, {kServerChat, kNotification}};
inline constexpr EntryKey kDisplayScaleKey = {
    "DisplayScale", EntryValueKind::Number, EntryRead::ForTypes, {kNotification}};
inline constexpr EntryKey kDisplayTimeKey = {
    "DisplayTime", EntryValueKind::Number, EntryRead::ForTypes, {kNotification}};

// Every key an entry may hold, in the order the file's documentation gives them.
inline constexpr std::array<const EntryKey*, 6> kEntryKeys = {
    &kCommandKey, &kReplyKey, &kTypeKey, &kColorKey, &kDisplayScaleKey, &kDisplayTimeKey};

// What one use of a command reads, in this order, each key only when its "Type" reads it. The
// first read that fails ends the use: nothing after it is read, nothing is sent.
inline constexpr std::array<const EntryKey*, 5> kUseReadOrder = {
    &kReplyKey, &kTypeKey, &kDisplayScaleKey, &kDisplayTimeKey, &kColorKey};

// Whether an entry whose "Type" is `type` must hold `key`: Command, Reply and Type always.
constexpr bool NeededFor(const EntryKey& key, std::string_view type) {
  if (key.read != EntryRead::ForTypes) {
    return true;
  }
  for (const std::string_view reader : key.types) {
    if (!reader.empty() && reader == type) {
      return true;
    }
  }
  return false;
}

}  // namespace quorvane
