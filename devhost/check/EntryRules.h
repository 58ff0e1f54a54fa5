#pragma once
// What the plugin makes of one "ChatCommands" entry, as far as its content tells: the
// registered command text, how the reply formats, and why using the entry fails.

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "devhost/check/ReportText.h"

namespace devhost {

// Why an entry that was used sent nothing, as far as its content tells.
std::string NothingSentReason(const nlohmann::json& entry);
// The first fault that makes using the entry fail, in the plugin's read order; empty if none.
std::string FailureHint(const nlohmann::json& entry);

// Reply texts go through the formatter with no arguments: "{{" and "}}" show one brace, a
// replacement field fails.
// What players see of `reply`, or nothing when formatting fails.
std::optional<std::string> Rendered(std::string_view reply);
struct BraceScan {
  bool fails = false;
  bool has_doubled = false;
  std::string shown;    // what a player sees, when it does not fail
  std::string escaped;  // when it fails: text that shows as the reply is written; may be empty
};
BraceScan ScanBraces(std::string_view reply);
// What to write instead of a reply that fails formatting.
std::string BraceHint(const BraceScan& scan);

// Why no chat line a player types can match the registered text `registered`; empty when one
// can. The host compares the first word of a line, and words end at a blank or a tab.
std::string UntypableReason(std::string_view registered);

}  // namespace devhost
