#pragma once
// "devhost --check --reload-from OLD": what a reload of the current config.json does to a server
// that was started with OLD. It is played in a scratch server folder, so the operator's files
// are only read: start the plugin on OLD, use every chat command, replace the file, run the
// real "Quorvane.Reload", use every command again and compare.

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "devhost/findings/ConfigCheck.h"
#include "devhost/host/PluginLoader.h"
#include "devhost/probe/CommandProbe.h"
#include "devhost/text/EnumTable.h"

namespace devhost {

// Commands stay bound to the entry position they had at start. A command keeps its meaning
// when the entry now at its position is still its own (the same command text, letter case
// aside); its reply, type or colour may change, which is what a reload is for.
struct CommandChange {
  enum class Kind {
    Unchanged,     // its own entry, sending exactly what it sent before
    Updated,       // its own entry, now sending something else
    OtherEntry,    // the entry at its position is another command's: players get that reply
    SendsNothing,  // it sent a message before and now sends nothing
    Fails,         // using it now fails (its position is gone, or the entry is broken)
    Unreachable,   // no player reached it before the reload: whatever stands at its position
                   // now changes nothing players get
  };
  Kind kind = Kind::Unchanged;
  ProbeResult before;
  ProbeResult after;
  // OtherEntry: the command of the entry now at this position, as a restart registers it.
  std::string answered_by;
  // OtherEntry and Fails: where the command's own entry stands in the current file, if
  // anywhere; only a restart binds it there.
  std::optional<std::size_t> now_at;
};

// Each kind's name, for programs, and whether players get something other than the command's
// own entry.
struct ChangeName {
  CommandChange::Kind value;
  const char* word;
  bool changes_meaning;
};
inline constexpr ChangeName kChanges[] = {
    {CommandChange::Kind::Unchanged, "unchanged", false},
    {CommandChange::Kind::Updated, "updated", false},
    {CommandChange::Kind::OtherEntry, "other_entry", true},
    {CommandChange::Kind::SendsNothing, "sends_nothing", true},
    {CommandChange::Kind::Fails, "fails", true},
    {CommandChange::Kind::Unreachable, "unreachable", false},
};
static_assert(InEnumOrder(kChanges));

inline bool ChangesMeaning(CommandChange::Kind kind) {
  return RowOf(kChanges, kind).changes_meaning;
}

struct NewCommand {
  std::size_t position = 0;
  std::string command;
};

// What the preview knows of one file's text: where each entry's "Command" value stands, by
// entry position, and the syntax error that keeps the plugin from reading it.
struct PreviewedFile {
  std::vector<std::optional<CommandPlace>> commands;
  std::optional<Finding> parse_error;
};

struct ReloadPreview {
  std::string old_path;
  std::string config_path;
  // Why the preview could not be played at all: OLD or the scratch folder cannot be used.
  std::optional<Finding> unreadable;
  // Why the current file cannot be read, as the plain check finds it; the reload then fails.
  std::optional<Finding> config_problem;
  StartReport start;    // the plugin on OLD; nothing more happens when it fails
  StartReport restart;  // what a restart on the current file would do
  bool reload_ok = false;
  std::vector<ScreenMessage> reload_answer;  // what the reload sent its caller
  std::string reload_error;                  // why it failed, as the plugin logged it
  bool reload_unregistered = false;          // it failed as the plugin has no reload command
  std::vector<CommandChange> commands;       // registration order
  std::vector<NewCommand> new_commands;      // in the current file, registered only by a restart
  PreviewedFile old_file;
  PreviewedFile current_file;
};

// `excerpts` asks for the source line of a syntax error, which only a report for people shows.
ReloadPreview PreviewReload(const std::string& old_path, const std::string& server_dir,
                            const std::string& plugin_path, bool excerpts = false);

}  // namespace devhost
