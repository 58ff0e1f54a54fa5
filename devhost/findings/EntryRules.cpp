#include "devhost/findings/EntryRules.h"

#include <vector>

#include <spdlog/fmt/fmt.h>

#include "config/ReplyTypes.h"
#include "devhost/findings/ReplyBraces.h"
#include "devhost/present/ReportText.h"

namespace devhost {
using json = nlohmann::json;

std::string NothingSentReason(const json& entry) {
  if (entry.is_object() && entry.count("Type") != 0 && entry["Type"].is_string()) {
    const std::string type = entry["Type"].get<std::string>();
    if (!IsReplyType(type)) {
      return fmt::format("Type {} is none of {}", Quoted(type), ReplyTypeList());
    }
  }
  return "the plugin sent nothing";
}

std::string FailureHint(const json& entry) {
  if (!entry.is_object()) {
    return fmt::format("the entry is a {}, not an object", entry.type_name());
  }
  const auto number = [&](const char* key) -> std::string {
    const auto found = entry.find(key);
    if (found == entry.end()) {
      return fmt::format("\"{}\" is missing", key);
    }
    return found->is_number() || found->is_boolean()
               ? std::string()
               : fmt::format("\"{}\" is a {}, not a number", key, found->type_name());
  };
  const auto text = [&](const char* key) -> std::string {
    const auto found = entry.find(key);
    if (found == entry.end()) {
      return fmt::format("\"{}\" is missing", key);
    }
    return found->is_string()
               ? std::string()
               : fmt::format("\"{}\" is a {}, not a string", key, found->type_name());
  };
  for (const char* key : {"Reply", "Type"}) {
    if (std::string problem = text(key); !problem.empty()) {
      return problem;
    }
  }
  const std::string type = entry["Type"].get<std::string>();
  std::vector<const char*> numbers;
  if (type == kNotification) {
    numbers = {"DisplayScale", "DisplayTime"};
  }
  for (const char* key : numbers) {
    if (std::string problem = number(key); !problem.empty()) {
      return problem;
    }
  }
  if (type == kServerChat || type == kNotification) {
    const auto found = entry.find("Color");
    if (found == entry.end() || !found->is_array()) {
      return fmt::format(
          "\"Color\" is {} (needed for {}: an array of four numbers)",
          found == entry.end() ? std::string("missing") : std::string("a ") + found->type_name(),
          type);
    }
    const json& colour = entry["Color"];
    for (std::size_t i = 0; i < 4; ++i) {
      if (i >= colour.size()) {
        return fmt::format("\"Color\" has {} elements; it needs four: R, G, B, A", colour.size());
      }
      if (!colour[i].is_number() && !colour[i].is_boolean()) {
        return fmt::format("\"Color\" element {} is a {}, not a number", i, colour[i].type_name());
      }
    }
  }
  const BraceScan scan = ScanBraces(entry["Reply"].get<std::string>());
  if (scan.fails) {
    return BraceHint(scan);
  }
  return {};
}

}  // namespace devhost
