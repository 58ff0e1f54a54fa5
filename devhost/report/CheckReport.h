#pragma once
// The result of "devhost --check": how the plugin started, what each chat command did, and
// the findings on the configuration; written for people or as JSON Lines.

#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "devhost/findings/ConfigCheck.h"
#include "devhost/host/PluginLoader.h"
#include "devhost/present/ExitStatus.h"
#include "devhost/probe/CommandProbe.h"

namespace devhost {

struct CheckReport {
  std::string config_path;
  StartReport start;
  std::vector<ProbeResult> probes;
  std::vector<Finding> findings;
};

// 0: every command sends a message and nothing but notes was found; 1: warnings, errors or
// commands that fail or send nothing; 2: the plugin did not start.
int CheckExitStatus(const CheckReport& report);

// Every command counted by outcome and every finding by severity, in one sentence:
// "4 commands: 1 sends a message, ...; 2 errors, 3 warnings."
std::string CheckSummary(const CheckReport& report);

// A report is written in two parts: how the plugin started and what each command did, then
// the findings and the summary. When the plugin started, the first part reads only
// config_path, start and probes, so it can be written while the findings are completed.
enum class ReportPart { Commands, Findings };
void WriteCheckReport(std::FILE* out, const CheckReport& report, bool colour, ReportPart part);
void WriteCheckJson(std::FILE* out, const CheckReport& report, ReportPart part);

// A place's keys on a JSON line: "offset", "line", "column", "end_offset", "end_line",
// "end_column".
void AddPlaceJson(nlohmann::ordered_json& line, const SourcePoint& start, const SourcePoint& end);
// A finding's place for programs, when it has one: the place's keys and "pointer", then "cause"
// and "parser_offset", "parser_line", "parser_column" for a syntax error.
void AddFindingPlaceJson(nlohmann::ordered_json& line, const Finding& finding);

// What one command did, for programs: "outcome", then the messages, the reason, or the error
// and its hint.
nlohmann::ordered_json ProbeOutcomeJson(const ProbeResult& probe);

}  // namespace devhost
