#include "devhost/findings/EntryChecks.h"

#include <algorithm>
#include <cmath>

#include "config/CommandText.h"
#include "config/EntryKeys.h"
#include "config/GameFloat.h"
#include "config/RegistrationCheck.h"
#include "config/ReplyTypes.h"
#include "devhost/findings/FindingCodes.h"
#include "devhost/rules/EntryRules.h"
#include "devhost/rules/ReplyBraces.h"
#include "devhost/rules/Typable.h"
#include "devhost/text/BlankText.h"
#include "devhost/text/ControlCharacter.h"
#include "devhost/text/Nearest.h"
#include "devhost/text/Text.h"

using quorvane::CommandOf;
using quorvane::CommandTextAsRegistered;
using quorvane::EntryKey;
using quorvane::EntryValueKind;
using quorvane::GameFloatOf;
using quorvane::IsReplyType;
using quorvane::kColorKey;
using quorvane::kCommandKey;
using quorvane::kEntryKeys;
using quorvane::kReplyKey;
using quorvane::kReplyTypes;
using quorvane::kTypeKey;

namespace devhost {
namespace {

using json = nlohmann::json;

const std::vector<std::string> kEntryKeyNames = [] {
  std::vector<std::string> names;
  for (const EntryKey* key : kEntryKeys) {
    names.emplace_back(key->name);
  }
  return names;
}();
const std::vector<std::string> kReplyTypeNames(kReplyTypes.begin(), kReplyTypes.end());

// The findings of one entry, each placed in it.
class EntryJudge {
 public:
  EntryJudge(std::size_t position, const EntrySource& source, std::vector<Finding>& findings)
      : position_(position), source_(source), findings_(findings) {}

  // A finding about `key`'s value, at `span` (the value itself when not given); at the entry's
  // opening brace when the key is missing. `element` names the element of an array value the
  // finding is about.
  Finding& Add(const FindingCode& code, const char* key, std::optional<Span> span = std::nullopt,
               std::optional<std::size_t> element = std::nullopt) {
    Finding finding = FindingOf(code);
    finding.position = position_;
    finding.subject = key;
    const MemberSource* member = source_.Find(key);
    if (span) {
      finding.span = span;
    } else if (member != nullptr) {
      finding.span = member->value;
    } else {
      finding.span = Span{source_.value.begin, source_.value.begin + 1};
    }
    finding.pointer = member != nullptr ? source_.PointerOf(key) : source_.pointer;
    if (member != nullptr && element && span) {
      finding.pointer += "/" + std::to_string(*element);
    }
    findings_.push_back(std::move(finding));
    return findings_.back();
  }

  const EntrySource& Source() const { return source_; }
  std::size_t Position() const { return position_; }
  std::vector<Finding>& Findings() { return findings_; }

 private:
  std::size_t position_;
  const EntrySource& source_;
  std::vector<Finding>& findings_;
};

void CheckKeys(EntryJudge& judge) {
  for (const MemberSource& member : judge.Source().members) {
    const std::string& key = member.key;
    if (judge.Source().Find(key) != &member ||
        std::find(kEntryKeyNames.begin(), kEntryKeyNames.end(), key) != kEntryKeyNames.end()) {
      continue;  // a repeat is reported as one
    }
    Finding finding = FindingOf(kUnknownKey);
    finding.position = judge.Position();
    finding.subject = key;
    finding.suggestion = NearestOf(key, kEntryKeyNames);
    finding.span = member.key_span;
    finding.pointer = judge.Source().PointerOf(key);
    judge.Findings().push_back(std::move(finding));
  }
}

// What registering the entry does: its command text, or the id of the type_error that stops
// the start (305: not an object; 302: "Command" missing or not a string).
struct Registration {
  const std::string* command = nullptr;
  int error = 0;
};

Registration RegistrationOf(const json& entry) {
  try {
    return {&CommandOf(entry), 0};
  } catch (const json::type_error& error) {
    return {nullptr, error.id};
  }
}

// `registered` is the text the host registers for the entry's "Command", when it has one.
void CheckCommand(const json& entry, const Registration& registration,
                  const std::string& registered, EntryJudge& judge) {
  const char* const key = kCommandKey.name;
  if (registration.command == nullptr) {
    const auto found = entry.find(key);
    judge.Add(kCommandKind, key).With("kind", found == entry.end() ? "" : found->type_name());
    return;
  }
  const std::string& command = *registration.command;
  if (command.empty()) {
    judge.Add(kCommandEmpty, key);
    return;
  }
  const std::string_view before_nul(command.c_str());
  if (before_nul.size() != command.size()) {
    judge.Add(kCommandNul, key).With("command", command).With("registered", registered);
  } else if (registered != command) {
    judge.Add(kCommandNonAscii, key).With("command", command).With("registered", registered);
  }
  if (registered.empty()) {
    return;  // the U+0000 finding says why
  }
  if (const Untypable untypable = UntypableOf(registered); untypable != Untypable::No) {
    judge.Add(kCommandUntypable, key)
        .With("registered", registered)
        .With("reason", RowOf(kUntypableNames, untypable).word);
  } else if (command.front() != '/') {
    judge.Add(kCommandNoSlash, key).With("command", command);
  }
}

void CheckType(const json& entry, EntryJudge& judge) {
  const auto found = entry.find(kTypeKey.name);
  if (found == entry.end() || !found->is_string()) {
    return;  // using the command fails; the probe reports it
  }
  const std::string& type = found->get_ref<const std::string&>();
  if (IsReplyType(type)) {
    return;
  }
  Finding& finding = judge.Add(kUnknownType, kTypeKey.name).With("type", type);
  finding.suggestion = NearestOf(type, kReplyTypeNames);
}

// A number the game receives differently from how the file writes it: a boolean, or a value
// beyond a 32-bit float. `component` names a colour's element ("R"), empty for a number key.
void CheckReceived(const json& value, const char* key, const char* component,
                   std::optional<Span> span, std::optional<std::size_t> element,
                   EntryJudge& judge) {
  if (!value.is_boolean() && !value.is_number()) {
    return;
  }
  const float received = GameFloatOf(value);
  const FindingCode* code = nullptr;
  const char* range = "";
  if (value.is_boolean()) {
    code = &kNumberBoolean;
  } else if (std::isinf(received)) {
    code = &kNumberRange;
    range = "beyond";
  } else if (received == 0.0f && value.get<double>() != 0.0) {
    code = &kNumberRange;
    range = "below";
  } else {
    return;
  }
  Finding& finding = judge.Add(*code, key, span, element)
                         .With("component", component)
                         .With("written", value.dump())
                         .With("range", range);
  finding.received = received;
}

void CheckColour(const json& entry, EntryJudge& judge) {
  const auto found = entry.find(kColorKey.name);
  if (found == entry.end() || !found->is_array()) {
    return;
  }
  const json& colour = *found;
  const MemberSource* member = judge.Source().Find(kColorKey.name);
  // The span of element `i` as written.
  const auto element = [&](std::size_t i) -> std::optional<Span> {
    if (member != nullptr && i < member->elements.size()) {
      return member->elements[i];
    }
    return std::nullopt;
  };
  if (colour.size() > 4) {
    std::optional<Span> extra = element(4);
    if (extra && member != nullptr) {
      extra->end = member->elements.back().end;
    }
    judge.Add(kColorLength, kColorKey.name, extra).With("elements", std::to_string(colour.size()));
  }
  static const char* const kComponents[] = {"R", "G", "B", "A"};
  for (std::size_t i = 0; i < std::min<std::size_t>(colour.size(), 4); ++i) {
    CheckReceived(colour[i], kColorKey.name, kComponents[i], element(i), i, judge);
    if (!colour[i].is_number()) {
      continue;
    }
    const float received = GameFloatOf(colour[i]);
    if (std::isinf(received)) {
      continue;  // reported as out of range
    }
    const FindingCode* code = i == 3 && received <= 0.0f ? &kColorTransparent
                              : received > 1.0f          ? &kColorRange
                              : received < 0.0f          ? &kColorNegative
                                                         : nullptr;
    if (code != nullptr) {  // written out only for a finding: most colours have none
      judge.Add(*code, kColorKey.name, element(i), i)
          .With("component", kComponents[i])
          .With("written", colour[i].dump());
    }
  }
}

// What a reply holds that players never see as written: control characters, and whatever
// follows a U+0000, where the game's string ends.
void CheckReplyText(const std::string& reply, EntryJudge& judge) {
  const std::size_t nul = reply.find('\0');
  const std::string_view shown = std::string_view(reply).substr(0, nul);
  // Line breaks and tabs are layout that chat shows; every other control character is not.
  if (std::string controls = ControlCharactersIn(shown); !controls.empty()) {
    judge.Add(kReplyControl, kReplyKey.name).With("reply", reply).With("controls", controls);
  }
  if (nul != std::string::npos) {
    judge.Add(kReplyNul, kReplyKey.name)
        .With("shown", std::string(shown))
        .With("lost", reply.substr(nul + 1));
  }
}

void CheckReply(const json& entry, EntryJudge& judge) {
  const auto found = entry.find(kReplyKey.name);
  if (found == entry.end() || !found->is_string()) {
    return;
  }
  const std::string& reply = found->get_ref<const std::string&>();
  if (IsBlankText(reply)) {
    judge.Add(kReplyBlank, kReplyKey.name).With("reply", reply);
    return;
  }
  CheckReplyText(reply, judge);
  const BraceScan scan = ScanBraces(reply);
  if (scan.fails) {
    judge.Add(kReplyBraces, kReplyKey.name).With("reply", reply).With("escaped", scan.escaped);
  } else if (scan.has_doubled) {
    judge.Add(kReplyDoubledBraces, kReplyKey.name).With("shown", scan.shown);
  }
}

// The read that makes every use of the entry fail, at the value that fails it, or at the
// entry's brace for a key it lacks.
void CheckReads(const json& entry, EntryJudge& judge) {
  const std::optional<FailingRead> failing = FirstFailingRead(entry);
  if (!failing || failing->key == nullptr) {
    return;
  }
  const char* const key = failing->key->name;
  const MemberSource* member = judge.Source().Find(key);
  switch (failing->problem) {
    case FailingRead::Problem::Missing:
      judge.Add(kKeyMissing, key).With("type", failing->type);
      break;
    case FailingRead::Problem::WrongKind:
      judge.Add(kValueKind, key).With("kind", failing->kind).With("type", failing->type);
      break;
    case FailingRead::Problem::TooFewElements:
      judge.Add(kColorShort, key).With("elements", std::to_string(failing->element));
      break;
    case FailingRead::Problem::ElementKind: {
      std::optional<Span> span;
      if (member != nullptr && failing->element < member->elements.size()) {
        span = member->elements[failing->element];
      }
      judge.Add(kValueKind, key, span, failing->element)
          .With("kind", failing->kind)
          .With("element", std::to_string(failing->element));
      break;
    }
    case FailingRead::Problem::NotAnObject:
      break;  // entry_kind says so
  }
}

void CheckDisplay(const json& entry, EntryJudge& judge) {
  for (const EntryKey* display : kEntryKeys) {
    if (display->kind != EntryValueKind::Number) {
      continue;
    }
    const char* const key = display->name;
    const auto found = entry.find(key);
    if (found != entry.end()) {
      CheckReceived(*found, key, "", std::nullopt, std::nullopt, judge);
    }
    if (found != entry.end() && found->is_number() && GameFloatOf(*found) <= 0.0f) {
      judge.Add(kDisplayNotPositive, key).With("written", found->dump());
    }
  }
}

}  // namespace

void EntryChecks::operator()(const json& entry, std::size_t position, const EntrySource& source) {
  EntryJudge judge(position, source, findings_);
  if (commands_.size() <= position) {
    commands_.resize(position + 1);
  }
  const Registration registration = RegistrationOf(entry);
  if (registration.error == 305) {
    Finding finding = FindingOf(kEntryKind);
    finding.position = position;
    finding.subject = "entry";
    finding.With("kind", entry.type_name());
    finding.span = source.value;
    finding.pointer = source.pointer;
    findings_.push_back(std::move(finding));
    return;
  }
  const MemberSource* command = source.Find(kCommandKey.name);
  if (registration.command != nullptr && command != nullptr) {
    commands_[position] = command->value;
  }
  const std::string registered =
      registration.command != nullptr ? CommandTextAsRegistered(*registration.command) : "";
  CheckKeys(judge);
  CheckCommand(entry, registration, registered, judge);
  CheckType(entry, judge);
  if (registration.command != nullptr) {
    CheckReads(entry, judge);  // without a command the plugin does not start: no use comes
  }
  CheckReply(entry, judge);
  CheckColour(entry, judge);
  CheckDisplay(entry, judge);
  // The host matches commands ignoring ASCII case and the first registration wins.
  if (registered.empty()) {
    return;
  }
  const auto [earlier, first] =
      first_of_.emplace(AsciiFolded(registered), First{position, commands_[position]});
  if (first) {
    return;
  }
  Finding& finding = judge.Add(kCommandDuplicate, kCommandKey.name).With("registered", registered);
  if (earlier->second.span) {
    finding.related.push_back({*earlier->second.span, "first_registration", std::nullopt});
  }
}

}  // namespace devhost
