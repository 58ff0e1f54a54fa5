#pragma once
// The result of "devhost --check": how the plugin started, what each chat command did, and
// the findings on the configuration; written for people or as JSON Lines.

#include <cstdio>
#include <string>
#include <vector>

#include "devhost/cli/CommandProbe.h"
#include "devhost/cli/ConfigCheck.h"
#include "devhost/lib/PluginLoader.h"

namespace devhost {

struct CheckReport {
  std::string config_path;
  StartReport start;
  std::vector<ProbeResult> probes;
  std::vector<Finding> findings;
};

inline constexpr int kCheckClean = 0;
inline constexpr int kCheckProblems = 1;
inline constexpr int kCheckNotStarted = 2;

// 0: every command sends a message and nothing but notes was found; 1: warnings, errors or
// commands that fail or send nothing; 2: the plugin did not start.
int CheckExitStatus(const CheckReport& report);

void WriteCheckReport(std::FILE* out, const CheckReport& report, bool colour);
void WriteCheckJson(std::FILE* out, const CheckReport& report);

}  // namespace devhost
