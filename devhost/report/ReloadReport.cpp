#include "devhost/report/ReloadReport.h"
#include "devhost/report/ResultLooks.h"

#include <algorithm>
#include <string>

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
#include "plugin/ReloadCommandName.h"

namespace devhost {
namespace {

using json = nlohmann::ordered_json;

std::size_t Count(const ReloadPreview& preview, CommandChange::Kind kind) {
  return static_cast<std::size_t>(
      std::count_if(preview.commands.begin(), preview.commands.end(),
                    [kind](const CommandChange& change) { return change.kind == kind; }));
}

// Where the "Command" value at `position` stands in a file, if the file has one there.
const CommandPlace* PlaceAt(const PreviewedFile& file, std::size_t position) {
  return position < file.commands.size() && file.commands[position] ? &*file.commands[position]
                                                                    : nullptr;
}

std::string LineAt(const PreviewedFile& file, std::size_t position) {
  const CommandPlace* place = PlaceAt(file, position);
  return place != nullptr ? std::to_string(place->start.line) : std::string("-");
}

// The entry at `position` of a file, by the line of its "Command" where the file tells.
std::string EntryAt(const PreviewedFile& file, std::size_t position) {
  const CommandPlace* place = PlaceAt(file, position);
  return place != nullptr ? fmt::format("the entry at line {}", place->start.line)
                          : fmt::format("entry {}", position);
}

void AddCommandPlace(json& line, const PreviewedFile& file, std::size_t position) {
  if (const CommandPlace* place = PlaceAt(file, position)) {
    AddPlaceJson(line, place->start, place->end);
  }
}

// Whether the syntax error found in a file is `error`, which its finding then says.
bool Explained(const PreviewedFile& file, const std::string& error) {
  return file.parse_error && file.parse_error->Value("error") == error;
}

// A syntax error in `path`, in the form compilers use, with its source line and hint.
void PutParseError(std::FILE* out, const std::string& path, const PreviewedFile& file,
                   bool colour) {
  if (file.parse_error) {
    std::string text;
    AppendCompilerFinding(text, path, *file.parse_error, colour);
    PutText(out, text);
  }
}

std::string Describe(const ProbeResult& probe) {
  switch (probe.outcome) {
    case ProbeResult::Outcome::Sent:
      return DescribeMessage(probe.messages.front());
    case ProbeResult::Outcome::NothingSent:
      return "nothing sent: " + OutcomeDetail(probe, Quoted);
    case ProbeResult::Outcome::Failed:
      return "fails: " + probe.detail;
    case ProbeResult::Outcome::Unreachable:
      return "unreachable: " + OutcomeDetail(probe, Quoted);
  }
  return probe.detail;
}

// Where a command that lost its position stands in the current file.
std::string WhereNow(const ReloadPreview& preview, const CommandChange& change) {
  if (change.now_at) {
    return *change.now_at == change.before.position
               ? std::string()
               : fmt::format("; its entry is now {}, which only a restart binds",
                             EntryAt(preview.current_file, *change.now_at));
  }
  if (!preview.restart.ok) {
    return "";
  }
  const std::size_t entries = preview.restart.chat_commands.size();
  return change.before.position >= entries
             ? fmt::format(
                   "; the current file has {} and none with this command",
                   entries == 1 ? std::string("1 entry") : fmt::format("{} entries", entries))
             : "; no entry of the current file has this command";
}

// What players get from the command after the reload.
std::string WhatPlayersGet(const ReloadPreview& preview, const CommandChange& change) {
  switch (change.kind) {
    case CommandChange::Kind::Unchanged:
      return Describe(change.after);
    case CommandChange::Kind::Updated:
      return Describe(change.after) + " (was " + Describe(change.before) + ")";
    case CommandChange::Kind::OtherEntry:
      return fmt::format("answers with the reply of {}, {}: {}{}",
                         EntryAt(preview.current_file, change.before.position),
                         Quoted(change.answered_by), Describe(change.after),
                         WhereNow(preview, change));
    case CommandChange::Kind::SendsNothing:
      return "nothing: " + OutcomeDetail(change.after, Quoted);
    case CommandChange::Kind::Fails:
      return "nothing, the command fails: " + OutcomeDetail(change.after, Quoted) +
             WhereNow(preview, change);
    case CommandChange::Kind::Unreachable:
      return "nothing, as before: " + OutcomeDetail(change.before, Quoted);
  }
  return "";
}

std::string Summary(const ReloadPreview& preview) {
  std::vector<std::string> parts;
  for (const ChangeLook& change : kChangeLooks) {
    const std::size_t count = Count(preview, change.value);
    if (count > 0) {
      parts.push_back(fmt::format("{} {}", count, count == 1 ? change.one : change.many));
    }
  }
  std::string text = fmt::format("{} {}", preview.commands.size(),
                                 preview.commands.size() == 1 ? "command" : "commands");
  if (!parts.empty()) {
    text += ": " + fmt::format("{}", fmt::join(parts, ", "));
  }
  const std::size_t added = preview.new_commands.size();
  if (added > 0) {
    text +=
        fmt::format("; {} new {} a restart", added, added == 1 ? "command needs" : "commands need");
  }
  if (!preview.reload_ok) {
    text += "; the reload fails";
  }
  if (!preview.restart.ok) {
    text += "; a restart would fail";
  }
  return text + ".";
}

// Why the reload failed: the plugin's own words, or that it has no reload command at all.
std::string ReloadError(const ReloadPreview& preview) {
  return preview.reload_unregistered ? std::string("the plugin registered no console command ") +
                                           quorvane::kReloadCommandName
                                     : preview.reload_error;
}

// Why the current file cannot be read, and what to do, as the plain check says it.
std::string ProblemWords(const Finding& problem) {
  const FindingWords words = WordsOf(problem, Quoted);
  return words.hint.empty() ? words.text : words.text + "; " + words.hint;
}

void Put(std::FILE* out, const std::string& line) {
  PutText(out, line + "\n");
}

}  // namespace

int ReloadExitStatus(const ReloadPreview& preview) {
  if (preview.unreadable) {
    return kExitUnreadable;
  }
  if (!preview.start.ok) {
    return kExitNotStarted;
  }
  const bool changed =
      std::any_of(preview.commands.begin(), preview.commands.end(),
                  [](const CommandChange& change) { return ChangesMeaning(change.kind); });
  return preview.reload_ok && preview.restart.ok && !changed ? kExitOk : kExitFindings;
}

void WriteReloadReport(std::FILE* out, const ReloadPreview& preview, bool colour) {
  // Everything from the files, the plugin or the system is escaped before it is styled.
  const auto style = [colour](const std::string& text, Tone tone) {
    return Toned(Printable(text), tone, colour);
  };
  const Tone red = Tone::Red;
  Put(out, "Previewing a reload of " + Printable(preview.config_path));
  if (preview.unreadable) {
    // Only what is wrong: the remedies speak of a server's own file.
    Put(out, style("The preview cannot run: " + WordsOf(*preview.unreadable, Quoted).text, red));
    Flush(out);
    return;
  }
  if (!preview.start.ok) {
    const std::string failed = "The plugin did not start on " + preview.old_path;
    Put(out, Explained(preview.old_file, preview.start.error)
                 ? style(failed + ":", red)
                 : style(failed + ": " + preview.start.error, red));
    PutParseError(out, preview.old_path, preview.old_file, colour);
    Flush(out);
    return;
  }
  Put(out, Printable(fmt::format("on a server started with {} and its {} chat {}.",
                                 preview.old_path, preview.commands.size(),
                                 preview.commands.size() == 1 ? "command" : "commands")));
  const std::string answer = preview.reload_answer.empty()
                                 ? std::string("nothing")
                                 : DescribeMessage(preview.reload_answer.front());
  if (preview.reload_ok) {
    Put(out, "The reload succeeds; its caller gets " + answer);
  } else {
    Put(out, Explained(preview.current_file, preview.reload_error)
                 ? style("The reload fails:", red)
                 : style("The reload fails: " + ReloadError(preview), red));
    PutParseError(out, preview.config_path, preview.current_file, colour);
    if (preview.config_problem) {
      Put(out,
          "The current file cannot be read: " + Printable(ProblemWords(*preview.config_problem)));
    }
    Put(out, "Its caller gets " + answer);
    Put(out, "Every command keeps the configuration the server started with.");
  }

  if (!preview.commands.empty()) {
    // Each command by the line of its "Command" in the old file, then the line of the entry
    // that now stands at its position in the current file.
    const auto where = [&preview](const CommandChange& change) {
      return fmt::format("line {} -> {}", LineAt(preview.old_file, change.before.position),
                         LineAt(preview.current_file, change.before.position));
    };
    std::size_t command_width = 0;
    std::size_t where_width = 0;
    for (const CommandChange& change : preview.commands) {
      command_width = std::max(command_width, Printable(Quoted(change.before.command)).size());
      where_width = std::max(where_width, where(change).size());
    }
    // Wider commands are written whole, unpadded, rather than widening every line.
    command_width = std::min(command_width, kMaxColumn);
    Put(out, "\nWhat players get after the reload (line in the old file -> in the current file):");
    for (const CommandChange& change : preview.commands) {
      const ChangeLook& words = RowOf(kChangeLooks, change.kind);
      const std::string lead =
          fmt::format("  {}  {}  ", Padded(where(change), where_width),
                      Padded(Printable(Quoted(change.before.command)), command_width));
      Put(out, lead + style(Padded(words.label, 13), words.tone) + "  " +
                   Printable(WhatPlayersGet(preview, change)));
      const std::string hint = FailureHint(change.after, Quoted);
      if (change.kind == CommandChange::Kind::Fails && !hint.empty()) {
        Put(out,
            std::string(lead.size() + 15, ' ') + style("hint: " + Printable(hint), Tone::Faint));
      }
    }
  }
  if (!preview.new_commands.empty()) {
    Put(out, "\nNew in the current file; players reach them only after a restart:");
    for (const NewCommand& added : preview.new_commands) {
      const CommandPlace* place = PlaceAt(preview.current_file, added.position);
      Put(out, fmt::format("  {}  {}",
                           place != nullptr ? fmt::format("line {}", place->start.line)
                                            : fmt::format("entry {}", added.position),
                           Printable(Quoted(added.command))));
    }
  }
  // A file the reload refuses fails a restart the same way; that is said once, above.
  if (!preview.restart.ok && preview.restart.error != preview.reload_error) {
    Put(out,
        "\n" + style("A restart on the current file would fail: " + preview.restart.error, red));
  }
  Put(out, "\n" + Summary(preview));
  Flush(out);
}

void WriteReloadJson(std::FILE* out, const ReloadPreview& preview) {
  if (preview.unreadable) {
    PutJson(out, {{"finding", "input"},
                  {"ok", false},
                  {"error", WordsOf(*preview.unreadable, Quoted).text},
                  {"code", preview.unreadable->code}});
    PutJson(out,
            {{"finding", "summary"}, {"commands", 0}, {"exit_status", ReloadExitStatus(preview)}});
    Flush(out);
    return;
  }
  json start = {{"finding", "start"},
                {"format", 2},
                {"ok", preview.start.ok},
                {"config", preview.old_path},
                {"chat_commands", preview.start.chat_commands}};
  if (!preview.start.ok) {
    start["error"] = preview.start.error;
    if (preview.old_file.parse_error) {
      AddFindingPlaceJson(start, *preview.old_file.parse_error);
    }
  }
  PutJson(out, start);
  if (preview.start.ok) {
    json answer = json::array();
    for (const ScreenMessage& message : preview.reload_answer) {
      answer.push_back(MessageFields(message));
    }
    json reload = {{"finding", "reload"},
                   {"ok", preview.reload_ok},
                   {"config", preview.config_path},
                   {"answer", std::move(answer)}};
    if (!preview.reload_ok) {
      reload["error"] = ReloadError(preview);
      if (preview.current_file.parse_error) {
        AddFindingPlaceJson(reload, *preview.current_file.parse_error);
      }
    }
    if (preview.config_problem) {
      reload["file_error"] = ProblemWords(*preview.config_problem);
    }
    PutJson(out, reload);
  }
  for (const CommandChange& change : preview.commands) {
    json line = {{"finding", "reload_command"},
                 {"position", change.before.position},
                 {"command", change.before.command},
                 {"change", RowOf(kChanges, change.kind).word},
                 {"changes_meaning", ChangesMeaning(change.kind)}};
    if (change.kind == CommandChange::Kind::OtherEntry) {
      line["answered_by"] = change.answered_by;
    }
    if (change.now_at && *change.now_at != change.before.position) {
      line["now_at"] = *change.now_at;
    }
    // Each side with the place of the "Command" at this position in its file: the old file's
    // before, the current file's after.
    json before = ProbeOutcomeJson(change.before);
    AddCommandPlace(before, preview.old_file, change.before.position);
    json after = ProbeOutcomeJson(change.after);
    AddCommandPlace(after, preview.current_file, change.before.position);
    line["before"] = std::move(before);
    line["after"] = std::move(after);
    PutJson(out, line);
  }
  for (const NewCommand& added : preview.new_commands) {
    json line = {
        {"finding", "new_command"}, {"position", added.position}, {"command", added.command}};
    AddCommandPlace(line, preview.current_file, added.position);
    line["needs_restart"] = true;
    PutJson(out, line);
  }
  if (preview.start.ok && !preview.restart.ok) {
    json restart = {{"finding", "restart"}, {"ok", false}, {"error", preview.restart.error}};
    if (preview.current_file.parse_error) {
      AddFindingPlaceJson(restart, *preview.current_file.parse_error);
    }
    PutJson(out, restart);
  }
  json summary = {{"finding", "summary"}, {"commands", preview.commands.size()}};
  for (const ChangeName& change : kChanges) {
    summary[change.word] = Count(preview, change.value);
  }
  summary["new_commands"] = preview.new_commands.size();
  summary["exit_status"] = ReloadExitStatus(preview);
  PutJson(out, summary);
  Flush(out);
}

}  // namespace devhost
