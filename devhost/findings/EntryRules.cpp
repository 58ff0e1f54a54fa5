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

// Whether the plugin's read of `key` fails, and how.
std::optional<FailingRead> ReadOf(const json& entry, const EntryKey& key, const std::string& type) {
  const auto found = entry.find(key.name);
  FailingRead failing;
  failing.key = &key;
  failing.type = type;
  if (found == entry.end()) {
    return failing;  // Missing
  }
  failing.value = &*found;
  if (key.kind == EntryValueKind::Colour) {
    if (!found->is_array()) {
      failing.problem = FailingRead::Problem::WrongKind;
      return failing;
    }
    for (std::size_t i = 0; i < 4; ++i) {
      if (i >= found->size()) {
        failing.problem = FailingRead::Problem::TooFewElements;
        failing.element = found->size();
        return failing;
      }
      if (!IsGameNumber((*found)[i])) {
        failing.problem = FailingRead::Problem::ElementKind;
        failing.element = i;
        failing.value = &(*found)[i];
        return failing;
      }
    }
    return std::nullopt;
  }
  const bool text = key.kind == EntryValueKind::String;
  if (text ? found->is_string() : IsGameNumber(*found)) {
    return std::nullopt;
  }
  failing.problem = FailingRead::Problem::WrongKind;
  return failing;
}

// The words for a failing read.
std::string ReadProblem(const FailingRead& failing) {
  const EntryKey& key = *failing.key;
  switch (failing.problem) {
    case FailingRead::Problem::Missing:
      return key.kind == EntryValueKind::Colour
                 ? fmt::format("\"{}\" is missing (needed for {}: an array of four numbers)",
                               key.name, failing.type)
                 : fmt::format("\"{}\" is missing", key.name);
    case FailingRead::Problem::WrongKind:
      return key.kind == EntryValueKind::Colour
                 ? fmt::format("\"{}\" is {} (needed for {}: an array of four numbers)", key.name,
                               KindOf(*failing.value), failing.type)
                 : fmt::format("\"{}\" is {}, not a {}", key.name, KindOf(*failing.value),
                               key.kind == EntryValueKind::String ? "string" : "number");
    case FailingRead::Problem::TooFewElements:
      return fmt::format("\"{}\" has {} elements; it needs four: R, G, B, A", key.name,
                         failing.element);
    case FailingRead::Problem::ElementKind:
      return fmt::format("\"{}\" element {} is {}, not a number", key.name, failing.element,
                         KindOf(*failing.value));
  }
  return {};
}

}  // namespace

std::string KindOf(const json& value) {
  const std::string name = value.type_name();
  const bool vowel = name.find_first_of("aeiou") == 0;
  return (vowel ? "an " : "a ") + name;
}

std::optional<FailingRead> FirstFailingRead(const json& entry) {
  if (!entry.is_object()) {
    return std::nullopt;
  }
  std::string type;  // known once "Type" has been read, which comes before every key it needs
  for (const EntryKey* key : kUseReadOrder) {
    if (!NeededFor(*key, type)) {
      continue;
    }
    if (std::optional<FailingRead> failing = ReadOf(entry, *key, type)) {
      return failing;
    }
    if (key == &kTypeKey) {
      type = entry[kTypeKey.name].get<std::string>();
    }
  }
  return std::nullopt;
}

std::string FailureHint(const json& entry) {
  if (!entry.is_object()) {
    return fmt::format("the entry is {}, not an object", KindOf(entry));
  }
  if (const std::optional<FailingRead> failing = FirstFailingRead(entry)) {
    return ReadProblem(*failing);
  }
  const BraceScan scan = ScanBraces(entry[kReplyKey.name].get<std::string>());
  if (scan.fails) {
    return BraceHint(scan);
  }
  return {};
}

}  // namespace devhost
