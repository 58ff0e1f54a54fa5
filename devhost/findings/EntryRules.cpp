#include "devhost/findings/EntryRules.h"

#include <spdlog/fmt/fmt.h>

#include "config/EntryKeys.h"
#include "config/GameFloat.h"
#include "config/ReplyTypes.h"
#include "devhost/findings/ReplyBraces.h"
#include "devhost/present/ReportText.h"

using quorvane::EntryKey;
using quorvane::EntryValueKind;
using quorvane::IsGameNumber;
using quorvane::IsReplyType;
using quorvane::kReplyKey;
using quorvane::kTypeKey;
using quorvane::kUseReadOrder;
using quorvane::NeededFor;
using quorvane::ReplyTypeList;

namespace devhost {
using json = nlohmann::json;

std::string NothingSentReason(const json& entry) {
  if (entry.is_object() && entry.count(kTypeKey.name) != 0 && entry[kTypeKey.name].is_string()) {
    const std::string type = entry[kTypeKey.name].get<std::string>();
    if (!IsReplyType(type)) {
      return fmt::format("Type {} is none of {}", Quoted(type), ReplyTypeList());
    }
  }
  return "the plugin sent nothing";
}

namespace {

// Why the plugin's read of `key` fails for an entry whose "Type" is `type`; empty if it does not.
std::string ReadProblem(const json& entry, const EntryKey& key, const std::string& type) {
  const auto found = entry.find(key.name);
  if (key.kind == EntryValueKind::Colour) {
    if (found == entry.end() || !found->is_array()) {
      return fmt::format("\"{}\" is {} (needed for {}: an array of four numbers)", key.name,
                         found == entry.end() ? std::string("missing") : KindOf(*found), type);
    }
    for (std::size_t i = 0; i < 4; ++i) {
      if (i >= found->size()) {
        return fmt::format("\"{}\" has {} elements; it needs four: R, G, B, A", key.name,
                           found->size());
      }
      if (!IsGameNumber((*found)[i])) {
        return fmt::format("\"{}\" element {} is {}, not a number", key.name, i,
                           KindOf((*found)[i]));
      }
    }
    return {};
  }
  if (found == entry.end()) {
    return fmt::format("\"{}\" is missing", key.name);
  }
  const bool text = key.kind == EntryValueKind::String;
  if (text ? found->is_string() : IsGameNumber(*found)) {
    return {};
  }
  return fmt::format("\"{}\" is {}, not a {}", key.name, KindOf(*found),
                     text ? "string" : "number");
}

}  // namespace

std::string KindOf(const json& value) {
  const std::string name = value.type_name();
  const bool vowel = name.find_first_of("aeiou") == 0;
  return (vowel ? "an " : "a ") + name;
}

std::string FailureHint(const json& entry) {
  if (!entry.is_object()) {
    return fmt::format("the entry is {}, not an object", KindOf(entry));
  }
  std::string type;  // known once "Type" has been read, which comes before every key it needs
  for (const EntryKey* key : kUseReadOrder) {
    if (!NeededFor(*key, type)) {
      continue;
    }
    if (std::string problem = ReadProblem(entry, *key, type); !problem.empty()) {
      return problem;
    }
    if (key == &kTypeKey) {
      type = entry[kTypeKey.name].get<std::string>();
    }
  }
  const BraceScan scan = ScanBraces(entry[kReplyKey.name].get<std::string>());
  if (scan.fails) {
    return BraceHint(scan);
  }
  return {};
}

}  // namespace devhost
