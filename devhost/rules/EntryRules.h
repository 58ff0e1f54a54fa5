#pragma once
// What the plugin makes of one "ChatCommands" entry, as far as its content tells: why using
// the entry sends nothing or fails, as data. Read with the plugin's JSON release.

#include <cstddef>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "config/EntryKeys.h"
#include "devhost/rules/FailingRead.h"

namespace devhost {

// The "Type" of an entry that a use reads and that names no reply type: such a use sends
// nothing. Null when the entry's Type is a reply type or not a string.
std::optional<std::string> UnknownTypeOf(const nlohmann::json& entry);

// The first read of a use of `entry` that fails; null when none does.
std::optional<FailingRead> FirstFailingRead(const nlohmann::json& entry);

}  // namespace devhost
