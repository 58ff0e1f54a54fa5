#include "devhost/check/RunCheck.h"

#include <cerrno>
#include <cstring>
#include <future>
#include <memory>

#include <fmt/format.h>

#include "devhost/check/CheckPage.h"
#include "devhost/check/CheckReport.h"
#include "devhost/check/ProbeExplanation.h"
#include "devhost/check/ReloadPreview.h"
#include "devhost/lib/Host.h"
#include "devhost/lib/LogSinks.h"

namespace devhost {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void PageNotWritten(const std::string& path, int error) {
  fmt::print(stderr, "devhost: cannot write the page {}: {}\n", path,
             error != 0 ? std::strerror(error) : "write error");
}

}  // namespace

int RunCheck(const CheckOptions& options, std::FILE* out) {
  if (!options.reload_from.empty()) {
    return RunReloadPreview(options, out);
  }

  // Opened before the check runs, so a wrong path costs nothing and says so at once.
  File page;
  if (!options.html_path.empty()) {
    page.reset(std::fopen(options.html_path.c_str(), "wb"));
    if (!page) {
      PageNotWritten(options.html_path, errno);
      return kCheckPageNotWritten;
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
  std::future<ConfigAnalysis> analysing =
      std::async(std::launch::async, [path] { return AnalyseConfigFile(path); });

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
    ExplainProbes(report.probes, analysis.document.get());
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
    Finding finding;
    finding.severity = Finding::Severity::Error;
    finding.code = "game_memory";
    finding.text = fmt::format(
        "{} game allocations ({} bytes) were never released by the plugin",
        after.live_blocks - before.live_blocks,
        after.live_bytes > before.live_bytes ? after.live_bytes - before.live_bytes : 0);
    finding.hint = "the plugin leaks the game's memory; a session exits 3 for the same";
    report.findings.push_back(std::move(finding));
  }

  if (writing.valid()) {
    writing.get();
  } else {
    write(ReportPart::Commands);  // says why the plugin did not start, which a finding may tell
  }
  write(ReportPart::Findings);
  if (page) {
    errno = 0;
    const bool written = WriteCheckPage(page.get(), report);
    const int error = errno;
    if (std::fclose(page.release()) != 0 || !written) {
      PageNotWritten(options.html_path, error != 0 ? error : errno);
      return kCheckPageNotWritten;
    }
  }
  return CheckExitStatus(report);
}

}  // namespace devhost
