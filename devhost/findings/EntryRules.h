#pragma once
// What the plugin makes of one "ChatCommands" entry, as far as its content tells: why using
// the entry sends nothing or fails. Read with the plugin's JSON release.

#include <string>

#include <nlohmann/json.hpp>

namespace devhost {

// What kind of JSON value `value` is, with its article: "an object", "a string".
std::string KindOf(const nlohmann::json& value);

// Why an entry that was used sent nothing, as far as its content tells.
std::string NothingSentReason(const nlohmann::json& entry);
// The first fault that makes using the entry fail, in the plugin's read order; empty if none.
std::string FailureHint(const nlohmann::json& entry);

}  // namespace devhost
