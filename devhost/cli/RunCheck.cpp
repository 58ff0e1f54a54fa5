#include "devhost/cli/RunCheck.h"

#include <memory>

#include "devhost/cli/CheckReport.h"
#include "devhost/cli/ReloadPreview.h"
#include "devhost/lib/Host.h"
#include "devhost/lib/LineSink.h"

namespace devhost {

int RunCheck(const CheckOptions& options, std::FILE* out) {
  if (!options.reload_from.empty()) {
    return RunReloadPreview(options, out);
  }
  Host& host = Host::Instance();
  host.SetServerDir(options.server_dir);
  // The report tells everything the log would; the log lines themselves would only
  // interleave with it.
  host.SetSinks({std::make_shared<LineSink>([](const std::string&) {})});

  CheckReport report;
  const auto path = ConfigPathOf(options.server_dir);
  // Forward slashes on every platform, as the plugin writes the path it reads.
  report.config_path = path.generic_string();
  ConfigAnalysis analysis = AnalyseConfigFile(path);
  report.findings = std::move(analysis.findings);

  {
    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::Load(options.plugin_path, report.start);
    if (plugin) {
      report.probes = ProbeChatCommands(host, plugin->Path(),
                                        analysis.document ? &*analysis.document : nullptr);
    }
  }

  if (options.json) {
    WriteCheckJson(out, report);
  } else {
    WriteCheckReport(out, report, options.colour);
  }
  return CheckExitStatus(report);
}

}  // namespace devhost
