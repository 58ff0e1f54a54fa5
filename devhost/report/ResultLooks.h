#pragma once
// How the reports show each command's outcome and each change a reload makes: the label, its
// colour, and the words a sentence uses for it.

#include <string>

#include "devhost/catalogue/FindingWords.h"
#include "devhost/present/Tone.h"
#include "devhost/probe/CommandProbe.h"
#include "devhost/probe/ReloadPreview.h"
#include "devhost/text/EnumTable.h"

namespace devhost {

// The report's label and style for each outcome, and what the page calls it as a problem.
struct OutcomeLook {
  ProbeResult::Outcome value;
  const char* label;
  Tone tone;
  const char* problem;
};
inline constexpr OutcomeLook kOutcomeLooks[] = {
    {ProbeResult::Outcome::Sent, "sent", Tone::Green, ""},
    {ProbeResult::Outcome::NothingSent, "nothing sent", Tone::Yellow, "sends nothing"},
    {ProbeResult::Outcome::Failed, "failed", Tone::Red, "fails"},
    {ProbeResult::Outcome::Unreachable, "unreachable", Tone::Red, "unreachable"},
};
static_assert(InEnumOrder(kOutcomeLooks));

// The preview's label and style for each change, and the summary's words for one command and
// for several.
struct ChangeLook {
  CommandChange::Kind value;
  const char* label;
  Tone tone;
  const char* one;
  const char* many;
};
inline constexpr ChangeLook kChangeLooks[] = {
    {CommandChange::Kind::Unchanged, "unchanged", Tone::Green, "unchanged", "unchanged"},
    {CommandChange::Kind::Updated, "updated", Tone::Cyan, "updated", "updated"},
    {CommandChange::Kind::OtherEntry, "another entry", Tone::Red,
     "answers with another entry's reply", "answer with another entry's reply"},
    {CommandChange::Kind::SendsNothing, "sends nothing", Tone::Yellow, "sends nothing",
     "send nothing"},
    {CommandChange::Kind::Fails, "fails", Tone::Red, "fails", "fail"},
    {CommandChange::Kind::Unreachable, "unreachable", Tone::Faint, "was never reached",
     "were never reached"},
};
static_assert(InEnumOrder(kChangeLooks));

// What a report says of a command that did not send: the library's error for a failure, else the
// reason in words.
inline std::string OutcomeDetail(const ProbeResult& probe, const Quote& quote) {
  return probe.outcome == ProbeResult::Outcome::Failed ? probe.detail
                                                       : ReasonWords(probe.reason, quote);
}
// What in the entry makes a failing command fail, in words; empty when the entry does not tell.
inline std::string FailureHint(const ProbeResult& probe, const Quote& quote) {
  return probe.outcome == ProbeResult::Outcome::Failed ? ReasonWords(probe.reason, quote)
                                                       : std::string();
}

}  // namespace devhost
