#include "devhost/session/SessionReading.h"

#include <exception>
#include <utility>
#include <vector>

#include <spdlog/fmt/fmt.h>
#include <nlohmann/json.hpp>

#include "config/CommandText.h"
#include "config/ConfigRead.h"
#include "config/EntryKeys.h"
#include "config/RegistrationCheck.h"
#include "devhost/catalogue/FindingWords.h"
#include "devhost/findings/LoadedDocument.h"
#include "devhost/present/ReportText.h"
#include "devhost/probe/ProbeExplanation.h"
#include "devhost/report/ResultLooks.h"
#include "devhost/rules/ReplyBraces.h"
#include "devhost/text/Text.h"

namespace devhost {
namespace {

using json = nlohmann::json;

// The check's explanation of one command's outcome.
ProbeResult Explained(const LoadedDocument& document, std::size_t position,
                      ProbeResult::Outcome outcome) {
  std::vector<ProbeResult> probes(1);
  probes.front().position = position;
  probes.front().outcome = outcome;
  ExplainProbes(probes, &document);
  return probes.front();
}

}  // namespace

SessionReading::SessionReading(std::string server_dir) : server_dir_(std::move(server_dir)) {}

SessionReading::~SessionReading() = default;

bool SessionReading::Read() {
  // As the plugin's reload takes a file: read as at start, and only when start-up would
  // register every command of it (plugin/ReloadCommand.cpp).
  try {
    auto document = std::make_shared<LoadedDocument>();
    document->json = quorvane::ReadConfigIn(server_dir_);
    static_cast<void>(quorvane::CheckRegistrableCommands(document->json));
    document_ = std::move(document);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::string SessionReading::NothingSentReason(std::size_t position) const {
  if (!document_) {
    return {};
  }
  return OutcomeDetail(Explained(*document_, position, ProbeResult::Outcome::NothingSent), Quoted);
}

std::string SessionReading::FailureReason(std::size_t position) const {
  if (!document_) {
    return {};
  }
  const std::vector<const json*> entries = EntriesOf(document_->json);
  if (position >= entries.size()) {
    // Commands keep the positions they were registered for; a reload can take them away.
    return fmt::format(
        "its entry is gone: it was registered for entry {} at start, and config.json has {} "
        "since the last reload; a restart registers the file's commands",
        position,
        entries.size() == 1 ? std::string("1 entry") : fmt::format("{} entries", entries.size()));
  }
  const ProbeResult failed = Explained(*document_, position, ProbeResult::Outcome::Failed);
  std::string reason = FailureHint(failed, Quoted);
  // The hint for a reply that fails formatting says what to write instead; say first why.
  const json& entry = *entries[position];
  const auto reply = entry.is_object() ? entry.find(quorvane::kReplyKey.name) : entry.end();
  if (reply != entry.end() && reply->is_string()) {
    const BraceScan scan = ScanBraces(reply->get<std::string>());
    if (scan.fails && failed.reason.why == ProbeReason::Why::Braces) {
      reason = fmt::format("\"{}\" holds a single brace, which fails formatting; {}",
                           quorvane::kReplyKey.name, reason);
    }
  }
  return reason;
}

bool SessionReading::RegisteredAtNextStart(std::string_view typed) const {
  if (!document_) {
    return false;
  }
  const std::u16string line = Utf8ToUtf16(typed);
  const std::u16string_view word = FirstWord(line);
  if (word.empty()) {
    return false;
  }
  // The reading registers, or it would not be the reading.
  for (const std::string* command : quorvane::CheckRegistrableCommands(document_->json)) {
    // Registered names are ASCII, one unit per byte (config/CommandText.h).
    if (EqualsIgnoringAsciiCase(Utf8ToUtf16(quorvane::CommandTextAsRegistered(*command)), word)) {
      return true;
    }
  }
  return false;
}

}  // namespace devhost
