#pragma once
// What the plugin makes of one "ChatCommands" entry, as far as its content tells: why using
// the entry sends nothing or fails. Read with the plugin's JSON release.

#include <cstddef>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "config/EntryKeys.h"

namespace devhost {

// What kind of JSON value `value` is, with its article: "an object", "a string".
std::string KindOf(const nlohmann::json& value);

// Why an entry that was used sent nothing, as far as its content tells.
std::string NothingSentReason(const nlohmann::json& entry);
// The first read of one use that fails, in the plugin's read order: every use of the entry
// fails there, and nothing after it is read.
struct FailingRead {
  enum class Problem { Missing, WrongKind, TooFewElements, ElementKind };
  const quorvane::EntryKey* key = nullptr;
  Problem problem = Problem::Missing;
  std::string type;         // the entry's "Type", once read; the reason the key is needed
  std::size_t element = 0;  // ElementKind: which; TooFewElements: how many there are
  const nlohmann::json* value = nullptr;  // WrongKind, ElementKind: what stands there
};
// Null for an entry that is not an object, or whose reads all succeed.
std::optional<FailingRead> FirstFailingRead(const nlohmann::json& entry);

// The first fault that makes using the entry fail, in the plugin's read order; empty if none.
std::string FailureHint(const nlohmann::json& entry);

}  // namespace devhost
