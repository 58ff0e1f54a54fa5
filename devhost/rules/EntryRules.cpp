#include "devhost/rules/EntryRules.h"

#include "config/GameFloat.h"
#include "config/ReplyTypes.h"

using quorvane::EntryKey;
using quorvane::EntryValueKind;
using quorvane::IsGameNumber;
using quorvane::IsReplyType;
using quorvane::kTypeKey;
using quorvane::kUseReadOrder;
using quorvane::NeededFor;

namespace devhost {
using json = nlohmann::json;

std::optional<std::string> UnknownTypeOf(const json& entry) {
  if (entry.is_object() && entry.count(kTypeKey.name) != 0 && entry[kTypeKey.name].is_string()) {
    const std::string& type = entry[kTypeKey.name].get_ref<const std::string&>();
    if (!IsReplyType(type)) {
      return type;
    }
  }
  return std::nullopt;
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
  failing.kind = found->type_name();
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
        failing.kind = (*found)[i].type_name();
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

}  // namespace

std::optional<FailingRead> FirstFailingRead(const json& entry) {
  if (!entry.is_object()) {
    FailingRead failing;
    failing.problem = FailingRead::Problem::NotAnObject;
    failing.kind = entry.type_name();
    return failing;
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

}  // namespace devhost
