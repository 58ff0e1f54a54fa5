#include "devhost/check/ProbeExplanation.h"

#include "devhost/check/EntryRules.h"
#include "devhost/check/LoadedDocument.h"

namespace devhost {

void ExplainProbes(std::vector<ProbeResult>& probes, const LoadedDocument* document) {
  if (document == nullptr) {
    return;
  }
  const std::vector<const nlohmann::json*> entries = EntriesOf(document->json);
  for (ProbeResult& probe : probes) {
    if (probe.position >= entries.size()) {
      continue;
    }
    const nlohmann::json& entry = *entries[probe.position];
    if (probe.outcome == ProbeResult::Outcome::Failed) {
      probe.hint = FailureHint(entry);
    } else if (probe.outcome == ProbeResult::Outcome::NothingSent) {
      probe.detail = NothingSentReason(entry);
    }
  }
}

}  // namespace devhost
