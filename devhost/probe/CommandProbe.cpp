#include "devhost/probe/CommandProbe.h"

#include <unordered_set>

#include "devhost/rules/Typable.h"
#include "devhost/text/Text.h"

namespace devhost {

std::vector<ProbeResult> ProbeChatCommands(Host& host, const std::string& owner) {
  // The check runs no session, so this player is the only one and its screen holds only
  // what the probed command sent.
  AShooterPlayerController& probe = host.Player("(probe)");

  const std::vector<Registration<ChatCommandCallback>> commands =
      host.Registry().ChatCommands(&owner);
  // Registered names seen so far, matched as the host matches them: regardless of ASCII case.
  std::unordered_set<FoldedName, FoldedNameHash> seen;
  seen.reserve(commands.size());
  std::vector<ProbeResult> results;
  results.reserve(commands.size());
  probe.ClearScreen();
  for (const auto& command : commands) {
    ProbeResult result;
    result.position = results.size();
    result.command = Utf16ToUtf8(command->name);
    DispatchResult dispatch;
    const Untypable untypable = UntypableOf(result.command);
    if (untypable != Untypable::No) {
      result.outcome = ProbeResult::Outcome::Unreachable;
      result.reason.why = ProbeReason::Why::Untypable;
      result.reason.untypable = untypable;
      results.push_back(std::move(result));
      continue;
    }
    const bool shadowed = !seen.insert(FoldedName(command->name)).second;
    if (shadowed) {
      dispatch = host.DispatchChatTo(*command, &probe, result.command);
    } else {
      dispatch = host.DispatchChat(&probe, result.command);
      if (dispatch.status == DispatchResult::Status::Unmatched ||
          dispatch.command != result.command) {
        result.outcome = ProbeResult::Outcome::Unreachable;
        result.reason.why = dispatch.status == DispatchResult::Status::Unmatched
                                ? ProbeReason::Why::Unmatched
                                : ProbeReason::Why::ReachesOther;
        result.reason.value = result.command;
        result.reason.other = dispatch.command;
        probe.ClearScreen();
        results.push_back(std::move(result));
        continue;
      }
    }
    result.messages = probe.TakeScreen();
    if (shadowed) {
      // What its entry would send is kept: it shows the operator what the shadowed entry holds.
      result.outcome = ProbeResult::Outcome::Unreachable;
      result.reason.why = ProbeReason::Why::Shadowed;
      result.reason.value = result.command;
    } else if (dispatch.status == DispatchResult::Status::Failed) {
      result.outcome = ProbeResult::Outcome::Failed;
      result.detail = dispatch.error;
    } else if (result.messages.empty()) {
      result.outcome = ProbeResult::Outcome::NothingSent;
      result.reason.why = ProbeReason::Why::SentNothing;
    } else {
      result.outcome = ProbeResult::Outcome::Sent;
    }
    results.push_back(std::move(result));
  }
  return results;
}

}  // namespace devhost
