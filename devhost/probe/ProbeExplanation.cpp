#include "devhost/probe/ProbeExplanation.h"

#include "devhost/findings/EntryRules.h"
#include "devhost/findings/LoadedDocument.h"

namespace devhost {

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
      probe.hint = listed_as_object
                       ? "\"ChatCommands\" is an object; write a list: \"ChatCommands\": [ {...}, "
                         "{...} ]"
                       : FailureHint(entry);
    } else if (probe.outcome == ProbeResult::Outcome::NothingSent) {
      probe.detail = NothingSentReason(entry);
    }
  }
}

}  // namespace devhost
