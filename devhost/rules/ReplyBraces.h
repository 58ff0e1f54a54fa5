#pragma once
// Reply texts go through the plugin's formatter with no arguments: "{{" and "}}" show one
// brace, a replacement field fails. The check asks that formatter itself.

#include <optional>
#include <string>
#include <string_view>

namespace devhost {

// What players see of `reply`, or nothing when formatting fails. Like the plugin, the
// formatter reads up to the first U+0000.
std::optional<std::string> Rendered(std::string_view reply);
struct BraceScan {
  bool fails = false;
  bool has_doubled = false;
  std::string shown;    // what a player sees, when it does not fail
  std::string escaped;  // when it fails: text that shows as the reply is written; may be empty
};
BraceScan ScanBraces(std::string_view reply);

}  // namespace devhost
