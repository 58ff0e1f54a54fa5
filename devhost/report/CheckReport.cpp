#include "devhost/report/CheckReport.h"
#include "devhost/report/ResultLooks.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "devhost/catalogue/FindingWords.h"
#include "devhost/present/JsonLines.h"
#include "devhost/present/MessageJson.h"
#include "devhost/present/MessageText.h"
#include "devhost/present/Output.h"
#include "devhost/present/Printable.h"
#include "devhost/present/ReportText.h"
#include "devhost/present/Tone.h"
#include "devhost/report/CompilerLines.h"

namespace devhost {
namespace {

using json = nlohmann::ordered_json;

// Values from the file in a sentence: whole for programs, cut short for people.
std::string WholeQuote(std::string_view value) {
  return Quoted(value);
}
std::string ClippedQuote(std::string_view value) {
  return Quoted(Clipped(value));
}

// How many commands had each outcome, and how many findings each severity.
class Counts {
 public:
  explicit Counts(const CheckReport& report) {
    for (const ProbeResult& probe : report.probes) {
      ++outcomes_[static_cast<std::size_t>(probe.outcome)];
    }
    for (const Finding& finding : report.findings) {
      ++severities_[static_cast<std::size_t>(finding.severity)];
    }
  }
  std::size_t operator[](ProbeResult::Outcome outcome) const {
    return outcomes_[static_cast<std::size_t>(outcome)];
  }
  std::size_t operator[](Finding::Severity severity) const {
    return severities_[static_cast<std::size_t>(severity)];
  }

 private:
  std::array<std::size_t, std::size(kOutcomes)> outcomes_{};
  std::array<std::size_t, std::size(kSeverityNames)> severities_{};
};

std::string Plural(std::size_t count, const char* one, const char* many) {
  return fmt::format("{} {}", count, count == 1 ? one : many);
}

// Text for people; styles only when colour is on. Padding is applied before styling so that
// escape sequences never disturb the columns.
class Styler {
 public:
  explicit Styler(bool colour) : colour_(colour) {}
  std::string operator()(const std::string& text, Tone tone) const {
    return Toned(text, tone, colour_);
  }

 private:
  bool colour_;
};

// Writes each piece as it comes: a long report never sits whole in memory.
class Output {
 public:
  explicit Output(std::FILE* file) : file_(file) {}
  Output& operator+=(std::string_view text) {
    PutText(file_, text);
    return *this;
  }

 private:
  std::FILE* file_;
};

// Quoted(Clipped(text)) appended to `line`. Commands are nearly always plain ASCII, which
// quotes as it is; only other text goes through the JSON writer.
void AppendQuotedCommand(std::string& line, std::string_view text) {
  const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
    return c >= 0x20 && c <= 0x7E && c != '"' && c != '\\';
  });
  if (!plain) {
    line += Quoted(Clipped(text));
    return;
  }
  line += '"';
  line += text.substr(0, kClipLimit);  // ASCII: every byte is a character boundary
  line += text.size() > kClipLimit ? "...\"" : "\"";
}

void WriteProbes(Output& out, const CheckReport& report, const Styler& style) {
  // One line buffer for the whole list: a report of many commands allocates next to nothing.
  std::string line;
  std::size_t command_width = 0;
  for (const ProbeResult& probe : report.probes) {
    if (command_width >= kMaxColumn) {
      break;
    }
    line.clear();
    AppendQuotedCommand(line, probe.command);
    command_width = std::max(command_width, line.size());
  }
  command_width = std::min(command_width, kMaxColumn);
  // Each command by the line of its "Command" value, where the file tells.
  const auto where = [](const ProbeResult& probe) {
    return probe.command_place ? "line " + std::to_string(probe.command_place->start.line)
                               : "entry " + std::to_string(probe.position);
  };
  std::size_t number_width = 0;
  for (const ProbeResult& probe : report.probes) {
    number_width = std::max(number_width, where(probe).size());
  }
  std::array<std::string, std::size(kOutcomeLooks)> labels;
  for (const OutcomeLook& outcome : kOutcomeLooks) {
    labels[static_cast<std::size_t>(outcome.value)] =
        style(Padded(outcome.label, 12), outcome.tone);
  }
  out += "Commands, in registration order:\n";
  for (const ProbeResult& probe : report.probes) {
    line.assign("  ");
    const std::string number = where(probe);
    line += number;
    line.append(number_width - number.size(), ' ');
    line += "  ";
    const std::size_t command_start = line.size();
    AppendQuotedCommand(line, probe.command);
    const std::size_t command_size = line.size() - command_start;
    line.append(command_width > command_size ? command_width - command_size : 0, ' ');
    line += "  ";
    const std::size_t lead_size = line.size();
    line += labels[static_cast<std::size_t>(probe.outcome)];
    line += "  ";
    // An unreachable command still shows, under its reason, what its entry would send.
    const std::size_t first_under = probe.outcome == ProbeResult::Outcome::Sent ? 1 : 0;
    if (probe.outcome == ProbeResult::Outcome::Sent) {
      AppendMessage(line, probe.messages.front());
    } else {
      AppendPrintable(line, OutcomeDetail(probe, ClippedQuote));
    }
    line += '\n';
    out += line;
    const std::string hint = FailureHint(probe, ClippedQuote);
    if (probe.messages.size() <= first_under && hint.empty()) {
      continue;
    }
    const std::string indent(lead_size + 14, ' ');
    for (std::size_t i = first_under; i < probe.messages.size(); ++i) {
      out += indent + DescribeMessage(probe.messages[i]) + "\n";
    }
    if (!hint.empty()) {
      out += indent + style("hint: " + Printable(hint), Tone::Faint) + "\n";
    }
  }
}

void WriteFindings(Output& out, const CheckReport& report, bool colour) {
  if (report.findings.empty()) {
    return;
  }
  out += "\n";
  std::string text;
  for (const Finding& finding : report.findings) {
    text.clear();
    AppendCompilerFinding(text, report.config_path, finding, colour);
    out += text;
  }
}

}  // namespace

std::string CheckSummary(const CheckReport& report) {
  const Counts counts(report);
  const std::size_t errors = counts[Finding::Severity::Error];
  const std::size_t warnings = counts[Finding::Severity::Warning];
  const std::size_t notes = counts[Finding::Severity::Note];
  std::string found = errors + warnings == 0
                          ? std::string("no warnings")
                          : (errors > 0 ? Plural(errors, "error", "errors") + ", " : "") +
                                Plural(warnings, "warning", "warnings");
  if (notes > 0) {
    found += ", " + Plural(notes, "note", "notes");
  }
  if (!report.start.ok) {
    return fmt::format("The plugin did not start; {}.", found);
  }
  std::string commands =
      fmt::format("{}: {} a message", Plural(report.probes.size(), "command", "commands"),
                  Plural(counts[ProbeResult::Outcome::Sent], "sends", "send"));
  if (const std::size_t silent = counts[ProbeResult::Outcome::NothingSent]; silent > 0) {
    commands += ", " + Plural(silent, "sends", "send") + " nothing";
  }
  if (const std::size_t failed = counts[ProbeResult::Outcome::Failed]; failed > 0) {
    commands += ", " + Plural(failed, "fails", "fail");
  }
  if (const std::size_t unreachable = counts[ProbeResult::Outcome::Unreachable]; unreachable > 0) {
    commands += fmt::format(", {} unreachable", unreachable);
  }
  return fmt::format("{}; {}.", commands, found);
}

namespace {

template <typename Write>
void WriteJsonFindings(const Write& write, const CheckReport& report) {
  for (const Finding& finding : report.findings) {
    json line = {{"finding", "config"},
                 {"severity", SeverityWord(finding.severity)},
                 {"code", finding.code}};
    line.get_ref<json::object_t&>().reserve(24);  // a line for each of many findings
    if (finding.position) {
      line["position"] = *finding.position;
    }
    AddFindingPlaceJson(line, finding);
    if (!finding.subject.empty()) {
      line["subject"] = finding.subject;
    }
    // Whole values: programs get every text uncut.
    const FindingWords words =
        WordsOf(finding, [](std::string_view value) { return Quoted(value); });
    line["text"] = words.text;
    if (!words.hint.empty()) {
      line["hint"] = words.hint;
    }
    if (finding.suggestion) {
      line["suggestion"] = *finding.suggestion;
    }
    json related = json::array();
    for (const Finding::Related& other : finding.related) {
      if (other.point) {
        related.push_back({{"offset", other.point->offset},
                           {"line", other.point->line},
                           {"column", other.point->column},
                           {"text", RelatedWords(other.role)}});
      }
    }
    if (!related.empty()) {
      line["related"] = std::move(related);
    }
    write(line);
  }

  const Counts counts(report);
  json summary = {{"finding", "summary"}, {"commands", report.probes.size()}};
  for (const OutcomeName& outcome : kOutcomes) {
    summary[outcome.word] = counts[outcome.value];
  }
  for (const SeverityName& severity : kSeverityNames) {
    summary[SeverityPlural(severity.value)] = counts[severity.value];
  }
  summary["exit_status"] = CheckExitStatus(report);
  write(summary);
}

}  // namespace

int CheckExitStatus(const CheckReport& report) {
  if (!report.start.ok) {
    return kExitNotStarted;
  }
  const Counts counts(report);
  const bool clean = counts[Finding::Severity::Error] == 0 &&
                     counts[Finding::Severity::Warning] == 0 &&
                     counts[ProbeResult::Outcome::Sent] == report.probes.size();
  return clean ? kExitOk : kExitFindings;
}

void WriteCheckReport(std::FILE* out, const CheckReport& report, bool colour, ReportPart part) {
  const Styler style(colour);
  Output text(out);
  if (part == ReportPart::Findings) {
    WriteFindings(text, report, colour);
    text += "\n" + CheckSummary(report) + "\n";
    Flush(out);
    return;
  }
  text += "Checking " + Printable(report.config_path) + "\n";
  if (report.start.ok) {
    text += fmt::format("The plugin started with {}.\n",
                        Plural(report.probes.size(), "chat command", "chat commands"));
    if (!report.probes.empty()) {
      text += "\n";
      WriteProbes(text, report, style);
    }
  } else {
    const bool explained = std::any_of(
        report.findings.begin(), report.findings.end(),
        [&](const Finding& finding) { return finding.Value("error") == report.start.error; });
    text +=
        style("The plugin did not start", Tone::Red) +
        (explained ? std::string("; see the error below.") : ": " + Printable(report.start.error)) +
        "\n";
  }
}

void WriteCheckJson(std::FILE* out, const CheckReport& report, ReportPart part) {
  Output text(out);
  const auto write = [&text](const json& object) { text += JsonLineText(object) + "\n"; };
  if (part == ReportPart::Findings) {
    WriteJsonFindings(write, report);
    Flush(out);
    return;
  }
  json start = {
      {"finding", "start"}, {"format", 2}, {"ok", report.start.ok}, {"config", report.config_path}};
  if (!report.start.ok) {
    start["error"] = report.start.error;
  }
  start["chat_commands"] = report.start.chat_commands;
  start["console_commands"] = report.start.console_commands;
  write(start);

  for (const ProbeResult& probe : report.probes) {
    json line = {{"finding", "command"}, {"position", probe.position}, {"command", probe.command}};
    // Room for the place and the outcome at once: a line is built for each of many commands.
    line.get_ref<json::object_t&>().reserve(16);
    if (probe.command_place) {
      AddPlaceJson(line, probe.command_place->start, probe.command_place->end);
    }
    line.update(ProbeOutcomeJson(probe));  // appends, in the fields' order
    write(line);
  }
}

void AddPlaceJson(json& line, const SourcePoint& start, const SourcePoint& end) {
  line["offset"] = start.offset;
  line["line"] = start.line;
  line["column"] = start.column;
  line["end_offset"] = end.offset;
  line["end_line"] = end.line;
  line["end_column"] = end.column;
}

void AddFindingPlaceJson(json& line, const Finding& finding) {
  if (finding.place) {
    AddPlaceJson(line, finding.place->start, finding.place->end);
    line["pointer"] = finding.pointer;
  }
  if (finding.syntax && !finding.syntax->cause.empty()) {
    line["cause"] = finding.syntax->cause;
  }
  if (finding.syntax && finding.syntax->stopped_at) {
    const SourcePoint& stopped = *finding.syntax->stopped_at;
    line["parser_offset"] = stopped.offset;
    line["parser_line"] = stopped.line;
    line["parser_column"] = stopped.column;
  }
}

nlohmann::ordered_json ProbeOutcomeJson(const ProbeResult& probe) {
  json fields = {{"outcome", OutcomeWord(probe.outcome)}};
  switch (probe.outcome) {
    case ProbeResult::Outcome::Sent: {
      json messages = json::array();
      for (const ScreenMessage& message : probe.messages) {
        messages.push_back(MessageFields(message));
      }
      fields["messages"] = std::move(messages);
      break;
    }
    case ProbeResult::Outcome::NothingSent:
      fields["reason"] = OutcomeDetail(probe, WholeQuote);
      break;
    case ProbeResult::Outcome::Unreachable: {
      fields["reason"] = OutcomeDetail(probe, WholeQuote);
      if (!probe.messages.empty()) {
        json messages = json::array();
        for (const ScreenMessage& message : probe.messages) {
          messages.push_back(MessageFields(message));
        }
        fields["messages"] = std::move(messages);
      }
      break;
    }
    case ProbeResult::Outcome::Failed:
      fields["error"] = probe.detail;
      if (const std::string hint = FailureHint(probe, WholeQuote); !hint.empty()) {
        fields["hint"] = hint;
      }
      break;
  }
  return fields;
}

}  // namespace devhost
