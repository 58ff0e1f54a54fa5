#include "devhost/probe/ProbeExplanation.h"

#include "config/EntryKeys.h"
#include "devhost/findings/LoadedDocument.h"
#include "devhost/rules/EntryRules.h"
#include "devhost/rules/ReplyBraces.h"

namespace devhost {

namespace {

// The first fault that makes using the entry fail, in the plugin's read order.
ProbeReason FailureOf(const nlohmann::json& entry) {
  ProbeReason reason;
  if (std::optional<FailingRead> failing = FirstFailingRead(entry)) {
    reason.why = ProbeReason::Why::FailingRead;
    reason.read = std::make_shared<const FailingRead>(std::move(*failing));
    return reason;
  }
  const BraceScan scan = ScanBraces(entry[quorvane::kReplyKey.name].get<std::string>());
  if (scan.fails) {
    reason.why = ProbeReason::Why::Braces;
    reason.value = scan.escaped;
  }
  return reason;
}

}  // namespace

void ExplainProbes(std::vector<ProbeResult>& probes, const LoadedDocument* document) {
  if (document == nullptr) {
    return;
  }
  const std::vector<const nlohmann::json*> entries = EntriesOf(document->json);
  // A command finds its entry by position, which an object does not have: every use fails,
  // whatever the entry holds.
  const auto commands =
      document->json.is_object() ? document->json.find("ChatCommands") : document->json.end();
  const bool listed_as_object = commands != document->json.end() && commands->is_object();
  for (ProbeResult& probe : probes) {
    if (probe.position >= entries.size()) {
      continue;
    }
    const nlohmann::json& entry = *entries[probe.position];
    if (probe.outcome == ProbeResult::Outcome::Failed) {
      if (listed_as_object) {
        probe.reason.why = ProbeReason::Why::CommandsObject;
      } else {
        probe.reason = FailureOf(entry);
      }
    } else if (probe.outcome == ProbeResult::Outcome::NothingSent) {
      if (const std::optional<std::string> type = UnknownTypeOf(entry)) {
        probe.reason.why = ProbeReason::Why::UnknownType;
        probe.reason.value = *type;
      }
    }
  }
}

}  // namespace devhost
