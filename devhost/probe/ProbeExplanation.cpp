#include "devhost/probe/ProbeExplanation.h"

#include "config/EntryKeys.h"
#include "devhost/catalogue/FindingWords.h"
#include "devhost/rules/EntryRules.h"
#include "devhost/findings/LoadedDocument.h"
#include "devhost/rules/ReplyBraces.h"
#include "devhost/present/ReportText.h"

namespace devhost {

namespace {

// The first fault that makes using the entry fail, in the plugin's read order; empty if none.
std::string FailureWords(const nlohmann::json& entry) {
  if (const std::optional<FailingRead> failing = FirstFailingRead(entry)) {
    return FailingReadWords(*failing);
  }
  const BraceScan scan = ScanBraces(entry[quorvane::kReplyKey.name].get<std::string>());
  return scan.fails ? BraceHintWords(scan.escaped, Quoted) : std::string();
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
      probe.hint = listed_as_object
                       ? "\"ChatCommands\" is an object; write a list: \"ChatCommands\": [ {...}, "
                         "{...} ]"
                       : FailureWords(entry);
    } else if (probe.outcome == ProbeResult::Outcome::NothingSent) {
      const std::optional<std::string> type = UnknownTypeOf(entry);
      probe.detail = type ? UnknownTypeWords(*type, Quoted) : "the plugin sent nothing";
    }
  }
}

}  // namespace devhost
