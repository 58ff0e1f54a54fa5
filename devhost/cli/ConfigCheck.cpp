#include "devhost/cli/ConfigCheck.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <fmt/format.h>

#include "config/FirstValueParser.h"
#include "devhost/cli/Nearest.h"
#include "devhost/lib/Text.h"

namespace devhost {
namespace {

using json = nlohmann::json;

const std::vector<std::string> kEntryKeys = {"Command", "Reply",        "Type",
                                             "Color",   "DisplayScale", "DisplayTime"};
// "$schema" lets editors find the schema; the plugin ignores it like any other member.
const std::vector<std::string> kTopKeys = {"ChatCommands", "$schema"};

Finding Warn(std::size_t position, std::string code, std::string subject, std::string text,
             std::string hint = {}) {
  Finding finding;
  finding.code = std::move(code);
  finding.position = position;
  finding.subject = std::move(subject);
  finding.text = std::move(text);
  finding.hint = std::move(hint);
  return finding;
}

// Line and column (both from 1) of the byte at offset `consumed` - 1, as editors count them.
std::pair<std::size_t, std::size_t> LineAndColumn(std::string_view text, std::size_t consumed) {
  consumed = std::min(consumed, text.size());
  const std::string_view before = text.substr(0, consumed);
  const std::size_t line =
      1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
  const std::size_t line_start = before.rfind('\n');
  const std::size_t column =
      line_start == std::string_view::npos ? consumed : consumed - line_start - 1;
  return {line, std::max<std::size_t>(column, 1)};
}

Finding ParseFailure(std::string_view text, const std::exception& error,
                     std::optional<std::size_t> consumed) {
  Finding finding;
  finding.severity = Finding::Severity::Error;
  finding.code = "parse_error";
  finding.text = error.what();
  finding.hint = "the plugin does not start with this file";
  if (consumed) {
    const auto [line, column] = LineAndColumn(text, *consumed);
    finding.line = line;
    finding.column = column;
  }
  return finding;
}

void CheckKeys(const json& entry, std::size_t position, std::vector<Finding>& findings) {
  for (const auto& member : entry.items()) {
    const std::string& key = member.key();
    if (std::find(kEntryKeys.begin(), kEntryKeys.end(), key) != kEntryKeys.end()) {
      continue;
    }
    Finding finding = Warn(position, "unknown_key", key, "key is never read");
    finding.suggestion = NearestOf(key, kEntryKeys);
    finding.hint = finding.suggestion ? fmt::format("did you mean {}?", Quoted(*finding.suggestion))
                                      : "Quorvane reads Command, Reply, Type, Color, "
                                        "DisplayScale and DisplayTime";
    findings.push_back(std::move(finding));
  }
}

void CheckCommand(const json& entry, std::size_t position, std::vector<Finding>& findings) {
  const auto found = entry.find("Command");
  if (found == entry.end() || !found->is_string()) {
    Finding finding =
        Warn(position, "command_kind", "Command",
             found == entry.end() ? "is missing" : fmt::format("is a {}", found->type_name()),
             "every entry needs a \"Command\" string; the plugin will not start");
    finding.severity = Finding::Severity::Error;
    findings.push_back(std::move(finding));
    return;
  }
  const std::string& command = found->get_ref<const std::string&>();
  if (command.empty()) {
    findings.push_back(
        Warn(position, "command_empty", "Command", "is empty", "no player can ever type it"));
    return;
  }
  const std::string registered = RegisteredCommandText(command);
  if (registered != command) {
    findings.push_back(
        Warn(position, "command_non_ascii", "Command",
             fmt::format("{} is registered as {}", Quoted(command), Quoted(registered)),
             "each byte outside ASCII becomes '?'; use ASCII letters only"));
  }
  if (command.front() != '/') {
    findings.push_back(Warn(position, "command_no_slash", "Command",
                            fmt::format("{} does not start with '/'", Quoted(command)),
                            "allowed, but players expect chat commands to start with '/'"));
  }
}

void CheckDuplicates(const std::vector<const json*>& entries, std::vector<Finding>& findings) {
  // The host matches commands ignoring ASCII case and the first registration wins.
  std::vector<std::pair<std::string, std::size_t>> seen;
  for (std::size_t position = 0; position < entries.size(); ++position) {
    const json& entry = *entries[position];
    if (!entry.is_object() || !entry.contains("Command") || !entry["Command"].is_string()) {
      continue;
    }
    const std::string registered = RegisteredCommandText(entry["Command"].get<std::string>());
    if (registered.empty()) {
      continue;
    }
    const auto earlier = std::find_if(seen.begin(), seen.end(), [&](const auto& other) {
      return EqualsIgnoringAsciiCase(other.first, registered);
    });
    if (earlier == seen.end()) {
      seen.emplace_back(registered, position);
      continue;
    }
    findings.push_back(
        Warn(position, "command_duplicate", "Command",
             fmt::format("{} is also the command of entry {}", Quoted(registered), earlier->second),
             fmt::format("players reach only entry {}; give this entry its own command",
                         earlier->second)));
  }
}

void CheckType(const json& entry, std::size_t position, std::vector<Finding>& findings) {
  const auto found = entry.find("Type");
  if (found == entry.end() || !found->is_string()) {
    return;  // using the command fails; the probe reports it
  }
  const std::string& type = found->get_ref<const std::string&>();
  if (IsReplyType(type)) {
    return;
  }
  Finding finding =
      Warn(position, "unknown_type", "Type",
           fmt::format("{} is none of ServerChat, ClientChat, Notification; nothing is sent",
                       Quoted(type)));
  finding.suggestion = NearestOf(type, kReplyTypes);
  finding.hint = finding.suggestion ? fmt::format("did you mean {}? (letter case counts)",
                                                  Quoted(*finding.suggestion))
                                    : "use ServerChat, ClientChat or Notification";
  findings.push_back(std::move(finding));
}

void CheckColour(const json& entry, std::size_t position, std::vector<Finding>& findings) {
  const auto found = entry.find("Color");
  if (found == entry.end() || !found->is_array()) {
    return;
  }
  const json& colour = *found;
  if (colour.size() > 4) {
    findings.push_back(Warn(position, "color_length", "Color",
                            fmt::format("has {} elements", colour.size()),
                            "only R, G, B, A are read; elements after the fourth are ignored"));
  }
  std::vector<std::string> high;
  static const char* const kNames[] = {"R", "G", "B", "A"};
  for (std::size_t i = 0; i < std::min<std::size_t>(colour.size(), 4); ++i) {
    if (colour[i].is_number() && colour[i].get<double>() > 1.0) {
      high.push_back(fmt::format("{} = {}", kNames[i], colour[i].dump()));
    }
  }
  if (!high.empty()) {
    findings.push_back(Warn(position, "color_range", "Color",
                            fmt::format("{} above 1", fmt::join(high, ", ")),
                            "the game takes linear 0-1 values, not 0-255; divide by 255"));
  }
}

void CheckReply(const json& entry, std::size_t position, std::vector<Finding>& findings) {
  const auto found = entry.find("Reply");
  if (found == entry.end() || !found->is_string()) {
    return;
  }
  const std::string& reply = found->get_ref<const std::string&>();
  const BraceScan scan = ScanBraces(reply);
  if (scan.fails) {
    findings.push_back(Warn(
        position, "reply_braces", "Reply",
        fmt::format("{} fails formatting: a lone brace starts a replacement field", Quoted(reply)),
        fmt::format("write literal braces doubled: {}", Quoted(scan.escaped))));
  } else if (scan.has_doubled) {
    Finding finding =
        Warn(position, "reply_doubled_braces", "Reply",
             fmt::format("players see {}", Quoted(scan.shown)), "doubled braces show as one brace");
    finding.severity = Finding::Severity::Note;
    findings.push_back(std::move(finding));
  }
}

void CheckDisplay(const json& entry, std::size_t position, std::vector<Finding>& findings) {
  for (const char* key : {"DisplayScale", "DisplayTime"}) {
    const auto found = entry.find(key);
    if (found != entry.end() && found->is_number() && found->get<double>() <= 0.0) {
      findings.push_back(Warn(position, "display_not_positive", key,
                              fmt::format("is {}", found->dump()),
                              "players cannot see such a notification; use a positive number"));
    }
  }
}

void CheckDocument(const json& document, std::vector<Finding>& findings) {
  if (!document.is_object()) {
    Finding finding;
    finding.severity = Finding::Severity::Error;
    finding.code = "document_kind";
    finding.text = fmt::format("the file holds a {}, not an object", document.type_name());
    finding.hint = "write {\"ChatCommands\": [ ... ]}";
    findings.push_back(std::move(finding));
    return;
  }
  for (const auto& member : document.items()) {
    if (std::find(kTopKeys.begin(), kTopKeys.end(), member.key()) == kTopKeys.end()) {
      Finding finding;
      finding.code = "unknown_key";
      finding.subject = member.key();
      finding.text = "top-level key is never read";
      finding.suggestion = NearestOf(member.key(), {"ChatCommands"});
      finding.hint = finding.suggestion ? "did you mean \"ChatCommands\"?"
                                        : "Quorvane reads only \"ChatCommands\"";
      findings.push_back(std::move(finding));
    }
  }
  const auto commands = document.find("ChatCommands");
  if (commands == document.end() || commands->is_null() ||
      (commands->is_array() && commands->empty())) {
    Finding finding;
    finding.code = "no_commands";
    finding.subject = "ChatCommands";
    finding.text = commands == document.end() ? "is missing" : "holds no entry";
    finding.hint = "no chat command is registered";
    findings.push_back(std::move(finding));
    return;
  }
  if (commands->is_object()) {
    Finding finding;
    finding.code = "commands_kind";
    finding.subject = "ChatCommands";
    finding.text = "is an object: its members are registered, but every use of them fails";
    finding.hint = "write a list: \"ChatCommands\": [ {...}, {...} ]";
    findings.push_back(std::move(finding));
  }
  const std::vector<const json*> entries = EntriesOf(document);
  for (std::size_t position = 0; position < entries.size(); ++position) {
    const json& entry = *entries[position];
    if (!entry.is_object()) {
      Finding finding = Warn(position, "entry_kind", "entry",
                             fmt::format("is a {}, not an object", entry.type_name()),
                             "each entry is {\"Command\": ..., \"Reply\": ..., \"Type\": ...}; "
                             "the plugin will not start");
      finding.severity = Finding::Severity::Error;
      findings.push_back(std::move(finding));
      continue;
    }
    CheckKeys(entry, position, findings);
    CheckCommand(entry, position, findings);
    CheckType(entry, position, findings);
    CheckReply(entry, position, findings);
    CheckColour(entry, position, findings);
    CheckDisplay(entry, position, findings);
  }
  CheckDuplicates(entries, findings);
  // Report entry by entry, in file order; findings about the whole file first.
  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
    return a.position.value_or(0) + (a.position ? 1 : 0) <
           b.position.value_or(0) + (b.position ? 1 : 0);
  });
}

}  // namespace

const char* SeverityName(Finding::Severity severity) {
  switch (severity) {
    case Finding::Severity::Error:
      return "error";
    case Finding::Severity::Warning:
      return "warning";
    case Finding::Severity::Note:
      return "note";
  }
  return "warning";
}

ConfigAnalysis AnalyseConfigText(std::string_view bytes) {
  ConfigAnalysis analysis;
  analysis.opened = true;
  const std::string_view text = WithoutByteOrderMark(bytes);
  try {
    analysis.document = ParseFirstValue(text);
  } catch (const json::parse_error& error) {
    analysis.findings.push_back(ParseFailure(text, error, error.byte));
    return analysis;
  } catch (const json::out_of_range& error) {
    // "number overflow parsing '1e999'": the number itself tells where it is.
    const std::string message = error.what();
    const std::size_t open = message.find('\'');
    const std::size_t close = message.rfind('\'');
    std::optional<std::size_t> consumed;
    if (open != std::string::npos && close > open) {
      const std::size_t at = text.find(message.substr(open + 1, close - open - 1));
      if (at != std::string_view::npos) {
        consumed = at + 1;
      }
    }
    analysis.findings.push_back(ParseFailure(text, error, consumed));
    return analysis;
  } catch (const std::exception& error) {
    analysis.findings.push_back(ParseFailure(text, error, std::nullopt));
    return analysis;
  }
  CheckDocument(*analysis.document, analysis.findings);
  return analysis;
}

ConfigAnalysis AnalyseConfigFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::error_code ignored;
  if (!file.is_open() || std::filesystem::is_directory(path, ignored)) {
    ConfigAnalysis analysis;
    Finding finding;
    finding.severity = Finding::Severity::Error;
    finding.code = "file_missing";
    finding.text = fmt::format("cannot open {}", path.string());
    finding.hint = "create ArkApi/Plugins/Quorvane/config.json under the server folder";
    analysis.findings.push_back(std::move(finding));
    return analysis;
  }
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return AnalyseConfigText(bytes);
}

std::filesystem::path ConfigPathOf(const std::string& server_dir) {
  return std::filesystem::path(server_dir) / "ArkApi" / "Plugins" / "Quorvane" / "config.json";
}

std::vector<const json*> EntriesOf(const json& document) {
  std::vector<const json*> entries;
  if (!document.is_object()) {
    return entries;
  }
  const auto commands = document.find("ChatCommands");
  if (commands == document.end() || commands->is_null()) {
    return entries;
  }
  if (commands->is_array() || commands->is_object()) {
    for (const json& entry : *commands) {
      entries.push_back(&entry);
    }
  } else {
    entries.push_back(&*commands);  // a scalar is visited as its own single entry
  }
  return entries;
}

}  // namespace devhost
