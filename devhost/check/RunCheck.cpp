#include "devhost/check/RunCheck.h"

#include <algorithm>
#include <filesystem>
#include <future>
#include <iterator>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

#include <fmt/format.h>

#include "devhost/check/FileReplacement.h"
#include "devhost/findings/FindingCodes.h"
#include "devhost/host/Host.h"
#include "devhost/host/LogSinks.h"
#include "devhost/host/PluginLoader.h"
#include "devhost/page/CheckPage.h"
#include "devhost/present/ExitStatus.h"
#include "devhost/present/Output.h"
#include "devhost/present/ReportText.h"
#include "devhost/probe/ProbeExplanation.h"
#include "devhost/probe/ReloadPreview.h"
#include "devhost/report/CheckReport.h"
#include "devhost/report/ReloadReport.h"
#include "devhost/report/ResultLooks.h"

namespace devhost {

namespace {

namespace fs = std::filesystem;

void PageNotWritten(const std::string& path, const std::string& why) {
  PutLine(stderr, "devhost: cannot write the page " + path + ": " + why);
}

// What this run reads or loads that `page` names as well, if anything: writing the page there
// would destroy it.
std::optional<std::string> ReadByThisRun(const fs::path& page, const CheckOptions& options) {
  const std::pair<fs::path, const char*> read[] = {
      {ConfigPathOf(options.server_dir), "the server's config.json, which the check reads"},
      {fs::u8path(options.plugin_path), "the plugin, which the check loads"},
      {HostLibraryPath(), "the host library, which the check loads"},
      {ProgramPath(), "this program"},
  };
  for (const auto& [path, what] : read) {
    std::error_code ignored;
    if (!path.empty() && fs::equivalent(page, path, ignored)) {
      return std::string(what);
    }
  }
  return std::nullopt;
}

// Plays the reload preview and writes it; returns the program's exit status.
int RunReloadPreview(const CheckOptions& options, std::FILE* out) {
  const ReloadPreview preview =
      PreviewReload(options.reload_from, options.server_dir, options.plugin_path, !options.json);
  if (options.json) {
    WriteReloadJson(out, preview);
  } else {
    WriteReloadReport(out, preview, options.colour);
  }
  return ReloadExitStatus(preview);
}

// A command whose every use fails has an error finding that says why; a failure that no rule
// explains is one too, with the library's own text.
void AddUnexplainedFailures(CheckReport& report) {
  std::vector<bool> explained(report.probes.size(), false);
  for (const Finding& finding : report.findings) {
    if (finding.code == kCommandsKind.code) {
      return;  // every use fails for that, and it says so
    }
    if (finding.severity == Finding::Severity::Error && finding.position &&
        *finding.position < explained.size()) {
      explained[*finding.position] = true;
    }
  }
  std::vector<Finding> failures;
  for (const ProbeResult& probe : report.probes) {
    if (probe.outcome != ProbeResult::Outcome::Failed || explained[probe.position]) {
      continue;
    }
    Finding finding = FindingOf(kCommandFailed);
    finding.position = probe.position;
    finding.subject = "Command";
    finding.With("error", probe.detail).With("because", FailureHint(probe, Quoted));
    if (probe.command_place) {
      finding.place = SourcePlace{probe.command_place->start, probe.command_place->end, {}};
      finding.pointer = "/ChatCommands/" + std::to_string(probe.position) + "/Command";
    }
    failures.push_back(std::move(finding));
  }
  if (failures.empty()) {
    return;
  }
  // Each after its entry's other findings: both lists are in entry order, so one merge.
  std::vector<Finding> merged;
  merged.reserve(report.findings.size() + failures.size());
  const auto by_entry = [](const Finding& a, const Finding& b) {
    return a.position.value_or(0) + (a.position ? 1 : 0) <
           b.position.value_or(0) + (b.position ? 1 : 0);
  };
  std::merge(std::make_move_iterator(report.findings.begin()),
             std::make_move_iterator(report.findings.end()),
             std::make_move_iterator(failures.begin()), std::make_move_iterator(failures.end()),
             std::back_inserter(merged), by_entry);
  report.findings = std::move(merged);
}

}  // namespace

int RunCheck(const CheckOptions& options, std::FILE* out) {
  if (!options.reload_from.empty()) {
    return RunReloadPreview(options, out);
  }

  // Made ready before the check runs, so a wrong path costs nothing and says so at once.
  std::unique_ptr<FileReplacement> page;
  if (!options.html_path.empty()) {
    const fs::path page_path = fs::u8path(options.html_path);
    if (const std::optional<std::string> read = ReadByThisRun(page_path, options)) {
      PageNotWritten(options.html_path, "it is " + *read);
      return kExitUnwritable;
    }
    std::string error;
    page = FileReplacement::Begin(page_path, error);
    if (!page) {
      PageNotWritten(options.html_path, error);
      return kExitUnwritable;
    }
  }

  Host& host = Host::Instance();
  host.SetServerDir(options.server_dir);
  // The report tells everything the log would; the log lines themselves would only
  // interleave with it.
  host.SetSinks({MakeLineSink([](const std::string&) {})});

  CheckReport report;
  const auto path = ConfigPathOf(options.server_dir);
  // Forward slashes on every platform, as the plugin writes the path it reads.
  report.config_path = path.generic_string();
  // The file's own findings never touch the plugin or the host: they are worked out on a
  // second core while the plugin starts and its commands are used, and joined before the
  // outcomes are explained. An exception there reaches the caller from get(); one here waits
  // for the analysis in the future's destructor.
  // Only a report for people shows the source lines.
  const bool excerpts = !options.json;
  std::future<ConfigAnalysis> analysing = std::async(
      std::launch::async, [path, excerpts] { return AnalyseConfigFile(path, excerpts); });

  const AllocatorStats before = host.Allocator().Stats();
  const auto write = [&](ReportPart part) {
    if (options.json) {
      WriteCheckJson(out, report, part);
    } else {
      WriteCheckReport(out, report, options.colour, part);
    }
  };
  std::future<void> writing;  // after what it uses: its destructor waits for the writing
  {
    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::Load(options.plugin_path, report.start);
    if (plugin) {
      report.probes = ProbeChatCommands(host, plugin->Path());
    }
    ConfigAnalysis analysis = analysing.get();
    report.findings = std::move(analysis.findings);
    for (ProbeResult& probe : report.probes) {
      if (probe.position < analysis.commands.size() && analysis.commands[probe.position]) {
        const CommandPlace& place = *analysis.commands[probe.position];
        probe.command_place = ProbeResult::Place{place.start, place.end};
      }
    }
    ExplainProbes(report.probes, analysis.document.get());
    AddUnexplainedFailures(report);
    if (plugin) {
      // What the commands did is written, and the large document freed, on the second core
      // while this one unloads the plugin.
      writing = std::async(std::launch::async,
                           [&write, document = std::move(analysis.document)]() mutable {
                             write(ReportPart::Commands);
                             document.reset();
                           });
    }
  }
  // Every block the plugin took from the game must be back once it is unloaded; on a server
  // what is not is lost for good.
  const AllocatorStats after = host.Allocator().Stats();
  if (after.live_blocks > before.live_blocks) {
    Finding finding = FindingOf(kGameMemory);
    finding.With("blocks", std::to_string(after.live_blocks - before.live_blocks))
        .With("bytes", std::to_string(after.live_bytes > before.live_bytes
                                          ? after.live_bytes - before.live_bytes
                                          : 0));
    report.findings.push_back(std::move(finding));
  }

  if (writing.valid()) {
    writing.get();
  } else {
    write(ReportPart::Commands);  // says why the plugin did not start, which a finding may tell
  }
  write(ReportPart::Findings);
  if (page) {
    WriteCheckPage(page->Stream(), report);
    if (const std::optional<std::string> error = page->Finish()) {
      PageNotWritten(options.html_path, *error);
      return kExitUnwritable;
    }
  }
  return CheckExitStatus(report);
}

}  // namespace devhost
