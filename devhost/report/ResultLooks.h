#pragma once
// How the reports show each command's outcome and each change a reload makes: the label, its
// colour, and the words a sentence uses for it.

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

}  // namespace devhost
