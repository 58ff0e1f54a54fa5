#pragma once
// The rules for one "ChatCommands" entry, run as the parse completes it, each finding at the
// narrowest place that shows it: the key, the value, or the colour's element.

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "devhost/findings/ConfigCheck.h"
#include "devhost/locate/SourceWalker.h"

namespace devhost {

class EntryChecks {
 public:
  void operator()(const nlohmann::json& entry, std::size_t position, const EntrySource& source);

  // Every entry's findings, entry by entry.
  std::vector<Finding>& Findings() { return findings_; }
  // Where each entry's "Command" string stands, by position.
  const std::vector<std::optional<Span>>& Commands() const { return commands_; }

 private:
  // The first registration of each command, as the host matches them: ignoring ASCII case.
  struct First {
    std::size_t position;
    std::optional<Span> span;
  };
  std::unordered_map<std::string, First> first_of_;
  std::vector<Finding> findings_;
  std::vector<std::optional<Span>> commands_;
};

}  // namespace devhost
