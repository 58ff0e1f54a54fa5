#include "devhost/findings/EntryChecks.h"

#include <algorithm>
#include <cmath>

#include <spdlog/fmt/fmt.h>

#include "config/CommandText.h"
#include "config/EntryKeys.h"
#include "config/GameFloat.h"
#include "config/RegistrationCheck.h"
#include "config/ReplyTypes.h"
#include "devhost/findings/EntryRules.h"
#include "devhost/findings/FindingCodes.h"
#include "devhost/findings/ReplyBraces.h"
#include "devhost/findings/Typable.h"
#include "devhost/present/MessageText.h"
#include "devhost/present/Printable.h"
#include "devhost/present/ReportText.h"
#include "devhost/text/BlankText.h"
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
using quorvane::ReplyTypeList;

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

// "Command, Reply, ... and DisplayTime".
std::string KeyList() {
  std::string list = kEntryKeyNames.front();
  for (std::size_t i = 1; i < kEntryKeyNames.size(); ++i) {
    list += (i + 1 == kEntryKeyNames.size() ? " and " : ", ") + kEntryKeyNames[i];
  }
  return list;
}

// The findings of one entry, each placed in it.
class EntryJudge {
 public:
  EntryJudge(std::size_t position, const EntrySource& source, std::vector<Finding>& findings)
      : position_(position), source_(source), findings_(findings) {}

  // A finding about `key`'s value, at `span` (the value itself when not given); at the entry's
  // opening brace when the key is missing.
  // `element` names the element of an array value the finding is about.
  Finding& Add(const FindingCode& code, const char* key, std::string text, std::string hint = {},
               std::optional<Span> span = std::nullopt,
               std::optional<std::size_t> element = std::nullopt) {
    Finding finding = FindingOf(code);
    finding.position = position_;
    finding.subject = key;
    finding.text = std::move(text);
    finding.hint = std::move(hint);
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
    finding.subject = Clipped(key);
    finding.text = "key is never read";
    finding.suggestion = NearestOf(key, kEntryKeyNames);
    finding.hint = finding.suggestion ? fmt::format("did you mean {}?", Quoted(*finding.suggestion))
                                      : "Quorvane reads " + KeyList();
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
    judge.Add(kCommandKind, key, found == entry.end() ? "is missing" : "is " + KindOf(*found),
              "every entry needs a \"Command\" string; the plugin will not start");
    return;
  }
  const std::string& command = *registration.command;
  if (command.empty()) {
    judge.Add(kCommandEmpty, key, "is empty", "no player can ever type it");
    return;
  }
  const std::string_view before_nul(command.c_str());
  if (before_nul.size() != command.size()) {
    judge.Add(kCommandNul, key,
              fmt::format("{} is registered as {}", Quoted(Clipped(command)),
                          Quoted(Clipped(registered))),
              "the text from U+0000 on is dropped; remove the \\u0000");
  } else if (registered != command) {
    judge.Add(kCommandNonAscii, key,
              fmt::format("{} is registered as {}", Quoted(Clipped(command)),
                          Quoted(Clipped(registered))),
              "each byte outside ASCII becomes '?'; use ASCII letters only");
  }
  if (registered.empty()) {
    return;  // the U+0000 finding says why
  }
  if (const std::string reason = UntypableReason(registered); !reason.empty()) {
    judge.Add(
        kCommandUntypable, key,
        fmt::format("{} is reached by no typed line: {}", Quoted(Clipped(registered)), reason),
        "remove blanks and control characters such as tabs and line breaks");
  } else if (command.front() != '/') {
    judge.Add(kCommandNoSlash, key,
              fmt::format("{} does not start with '/'", Quoted(Clipped(command))),
              "allowed, but players expect chat commands to start with '/'");
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
  Finding& finding = judge.Add(
      kUnknownType, kTypeKey.name,
      fmt::format("{} is none of {}; nothing is sent", Quoted(Clipped(type)), ReplyTypeList()));
  finding.suggestion = NearestOf(type, kReplyTypeNames);
  finding.hint = finding.suggestion ? fmt::format("did you mean {}? (letter case counts)",
                                                  Quoted(*finding.suggestion))
                                    : "use ServerChat, ClientChat or Notification";
}

// A number the game receives differently from how the file writes it: a boolean, or a value
// beyond a 32-bit float. `label` leads the text, e.g. "R = " or "is ".
void CheckReceived(const json& value, const char* key, const char* label, std::optional<Span> span,
                   std::optional<std::size_t> element, EntryJudge& judge) {
  if (value.is_boolean()) {
    judge.Add(kNumberBoolean, key,
              fmt::format("{}{}: the game receives {}", label, value.dump(),
                          FloatText(GameFloatOf(value))),
              "write the number", span, element);
    return;
  }
  if (!value.is_number()) {
    return;
  }
  const double written = value.get<double>();
  const float received = GameFloatOf(value);
  if (std::isinf(received)) {
    judge.Add(kNumberRange, key,
              fmt::format("{}{}, beyond the game's 32-bit numbers: it receives {}", label,
                          value.dump(), FloatText(received)),
              "use a number of at most 3.4e38", span, element);
  } else if (received == 0.0f && written != 0.0) {
    judge.Add(
        kNumberRange, key,
        fmt::format("{}{}, below the game's 32-bit numbers: it receives 0", label, value.dump()),
        "use 0 or a number of at least 1.2e-38", span, element);
  }
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
    judge.Add(kColorLength, kColorKey.name, fmt::format("has {} elements", colour.size()),
              "only R, G, B, A are read; elements after the fourth are ignored", extra);
  }
  static const char* const kLabels[] = {"R = ", "G = ", "B = ", "A = "};
  for (std::size_t i = 0; i < std::min<std::size_t>(colour.size(), 4); ++i) {
    CheckReceived(colour[i], kColorKey.name, kLabels[i], element(i), i, judge);
    if (!colour[i].is_number()) {
      continue;
    }
    const float received = GameFloatOf(colour[i]);
    if (std::isinf(received)) {
      continue;  // reported as out of range
    }
    const std::string written = kLabels[i] + colour[i].dump();
    if (i == 3 && received <= 0.0f) {
      judge.Add(kColorTransparent, kColorKey.name, written + ": the message is fully transparent",
                "players cannot see it; A is opacity, use 1 for an opaque message", element(i), i);
    } else if (received > 1.0f) {
      judge.Add(kColorRange, kColorKey.name, written + " above 1",
                "the game takes linear 0-1 values, not 0-255; divide by 255", element(i), i);
    } else if (received < 0.0f) {
      judge.Add(kColorNegative, kColorKey.name, written + " below 0",
                "the game takes linear 0-1 values and passes negative ones on", element(i), i);
    }
  }
}

// What a reply holds that players never see as written: control characters, and whatever
// follows a U+0000, where the game's string ends.
void CheckReplyText(const std::string& reply, EntryJudge& judge) {
  const std::size_t nul = reply.find('\0');
  const std::string_view shown = std::string_view(reply).substr(0, nul);
  std::string controls;
  // Line breaks and tabs are layout that chat shows; every other control character is not.
  for (const std::string& escape : ControlEscapes(shown)) {
    if (escape != "\\x0a" && escape != "\\x09") {
      controls += (controls.empty() ? "" : " ") + escape;
    }
  }
  if (!controls.empty()) {
    judge.Add(kReplyControl, kReplyKey.name,
              fmt::format("{} holds control characters: {}", Quoted(Clipped(reply)), controls),
              "chat does not show them and terminals act on them; remove them");
  }
  if (nul != std::string::npos) {
    judge.Add(kReplyNul, kReplyKey.name,
              fmt::format("the text after U+0000 is never shown: players see {}, and {} is lost",
                          Quoted(Clipped(shown)), Quoted(Clipped(reply.substr(nul + 1)))),
              "remove the \\u0000");
  }
}

void CheckReply(const json& entry, EntryJudge& judge) {
  const auto found = entry.find(kReplyKey.name);
  if (found == entry.end() || !found->is_string()) {
    return;
  }
  const std::string& reply = found->get_ref<const std::string&>();
  if (IsBlankText(reply)) {
    judge.Add(kReplyBlank, kReplyKey.name,
              reply.empty() ? "is empty" : fmt::format("is blank: {}", Quoted(reply)),
              "players see an empty message; write the text they should see");
    return;
  }
  CheckReplyText(reply, judge);
  const BraceScan scan = ScanBraces(reply);
  if (scan.fails) {
    judge.Add(kReplyBraces, kReplyKey.name,
              fmt::format("{} fails formatting: a lone brace starts a replacement field",
                          Quoted(Clipped(reply))),
              BraceHint(scan));
  } else if (scan.has_doubled) {
    judge.Add(kReplyDoubledBraces, kReplyKey.name,
              fmt::format("players see {}", Quoted(scan.shown)),
              "doubled braces show as one brace");
  }
}

// The read that makes every use of the entry fail, at the value that fails it, or at the
// entry's brace for a key it lacks.
void CheckReads(const json& entry, EntryJudge& judge) {
  const std::optional<FailingRead> failing = FirstFailingRead(entry);
  if (!failing) {
    return;
  }
  const char* const key = failing->key->name;
  const std::string needed_by =
      failing->type.empty() ? std::string("every entry") : "Type " + Quoted(failing->type);
  const MemberSource* member = judge.Source().Find(key);
  switch (failing->problem) {
    case FailingRead::Problem::Missing:
      judge.Add(kKeyMissing, key, fmt::format("is missing; {} needs it", needed_by),
                fmt::format("add \"{}\" to the entry; every use of the command fails", key));
      break;
    case FailingRead::Problem::WrongKind:
      judge.Add(kValueKind, key,
                fmt::format("is {}, not {}", KindOf(*failing->value),
                            failing->key->kind == EntryValueKind::String   ? "a string"
                            : failing->key->kind == EntryValueKind::Number ? "a number"
                                                                           : "an array of four "
                                                                             "numbers"),
                "every use of the command fails on it");
      break;
    case FailingRead::Problem::TooFewElements:
      judge.Add(kColorShort, key,
                fmt::format("has {} element{}; it needs four: R, G, B, A", failing->element,
                            failing->element == 1 ? "" : "s"),
                "every use of the command fails; write [R, G, B, A], e.g. [1, 1, 1, 1]");
      break;
    case FailingRead::Problem::ElementKind: {
      std::optional<Span> span;
      if (member != nullptr && failing->element < member->elements.size()) {
        span = member->elements[failing->element];
      }
      judge.Add(
          kValueKind, key,
          fmt::format("element {} is {}, not a number", failing->element, KindOf(*failing->value)),
          "every use of the command fails on it", span, failing->element);
      break;
    }
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
      CheckReceived(*found, key, "is ", std::nullopt, std::nullopt, judge);
    }
    if (found != entry.end() && found->is_number() && GameFloatOf(*found) <= 0.0f) {
      judge.Add(kDisplayNotPositive, key, fmt::format("is {}", found->dump()),
                "players cannot see such a notification; use a positive number");
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
    finding.text = "is " + KindOf(entry) + ", not an object";
    finding.hint =
        "each entry is {\"Command\": ..., \"Reply\": ..., \"Type\": ...}; the plugin will not "
        "start";
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
  Finding& finding =
      judge.Add(kCommandDuplicate, kCommandKey.name,
                fmt::format("{} is also the command of an earlier entry, which players reach "
                            "instead",
                            Quoted(Clipped(registered))),
                "give this entry its own command");
  if (earlier->second.span) {
    finding.related.push_back({*earlier->second.span, "first registered here", std::nullopt});
  }
}

}  // namespace devhost
