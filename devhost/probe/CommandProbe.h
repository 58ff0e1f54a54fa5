#pragma once
// Uses every chat command a plugin registered once, as a player would, and records what that
// player got: the message, nothing (and why), or the error that ended the command.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "devhost/host/Host.h"
#include "devhost/locate/SourceSpan.h"
#include "devhost/rules/ProbeReason.h"
#include "devhost/text/EnumTable.h"

namespace devhost {

struct ProbeResult {
  enum class Outcome { Sent, NothingSent, Failed, Unreachable };
  std::size_t position = 0;  // registration order, which is the entry's position
  std::string command;       // the registered text, UTF-8
  Outcome outcome = Outcome::NothingSent;
  std::vector<ScreenMessage> messages;
  std::string detail;  // Failed: the error text, unchanged
  ProbeReason reason;  // NothingSent, Unreachable: why; Failed: what in the entry makes it fail
  // Where the entry's "Command" value stands in the file, when the check could tell.
  struct Place {
    SourcePoint start;
    SourcePoint end;
  };
  std::optional<Place> command_place;
};

// Each outcome's name, for programs and the page's styles.
struct OutcomeName {
  ProbeResult::Outcome value;
  const char* word;
};
inline constexpr OutcomeName kOutcomes[] = {
    {ProbeResult::Outcome::Sent, "sent"},
    {ProbeResult::Outcome::NothingSent, "nothing_sent"},
    {ProbeResult::Outcome::Failed, "failed"},
    {ProbeResult::Outcome::Unreachable, "unreachable"},
};
static_assert(InEnumOrder(kOutcomes));

inline const char* OutcomeWord(ProbeResult::Outcome outcome) {
  return RowOf(kOutcomes, outcome).word;
}

// Each registration of `owner` gets its own registered text as a chat line from a probe
// player, dispatched as a typed line is; a text no typed line reaches is Unreachable. A
// registration that an earlier one of the same name hides is handed its line directly, so
// that the report still shows what its entry does.
std::vector<ProbeResult> ProbeChatCommands(Host& host, const std::string& owner);

}  // namespace devhost
