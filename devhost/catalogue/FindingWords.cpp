#include "devhost/catalogue/FindingWords.h"

#include <fmt/format.h>

#include "config/ConfigFile.h"
#include "config/EntryKeys.h"
#include "config/ReplyTypes.h"
#include "devhost/present/MessageText.h"
#include "devhost/present/Printable.h"
#include "devhost/text/EnumTable.h"

namespace devhost {

namespace {

struct CodeMeaning {
  const char* code;
  const char* meaning;
};
constexpr CodeMeaning kMeanings[] = {
    {"file_missing", "there is no config.json in the plugin's folder"},
    {"file_folder", "config.json is a folder"},
    {"file_not_regular", "config.json is a FIFO, a device or a socket"},
    {"file_permission_denied", "the check may not read config.json or a folder above it"},
    {"file_unreadable", "the system could not read config.json for another reason"},
    {"parse_error",
     "the file is not JSON the plugin reads: a syntax error, a number out of range, or nesting "
     "too deep; the plugin does not start"},
    {"repeated_key",
     "a key is given twice in one object: the first value counts, the other is ignored"},
    {"trailing_text", "text after the top-level value is never read"},
    {"document_kind", "the file holds something other than an object; the plugin does not start"},
    {"no_commands", "ChatCommands is missing or empty: no command is registered"},
    {"commands_kind", "ChatCommands is an object, not a list: every use of its commands fails"},
    {"entry_kind", "an entry is not an object; the plugin does not start"},
    {"unknown_key", "a key the plugin never reads, with the nearest known one"},
    {"command_kind", "Command is missing or not a string; the plugin does not start"},
    {"command_empty", "Command is empty: no player can type it"},
    {"command_nul", "Command holds U+0000, which cuts it short"},
    {"command_non_ascii", "Command has bytes outside ASCII, each registered as '?'"},
    {"command_untypable", "no typed line reaches Command: it holds a blank, a tab or a line break"},
    {"command_no_slash", "Command does not start with '/'"},
    {"command_duplicate",
     "an earlier entry has the same Command, letter case aside: players reach only that one"},
    {"unknown_type", "Type is none of ServerChat, ClientChat and Notification: nothing is sent"},
    {"reply_blank", "Reply is empty or blank"},
    {"reply_control", "Reply holds control characters other than line breaks and tabs"},
    {"reply_nul", "Reply holds U+0000: players never see the text after it"},
    {"reply_braces", "Reply holds a single brace, which makes every use fail"},
    {"reply_doubled_braces", "Reply holds doubled braces, which players see as single ones"},
    {"color_length", "Color has more than four elements; the rest are ignored"},
    {"color_range", "colour components above 1, as if 0-255"},
    {"color_negative", "colour components below 0"},
    {"color_transparent", "alpha is 0 or below: the message is invisible"},
    {"number_boolean", "true or false where a number belongs: the game receives 1 or 0"},
    {"number_range", "a number beyond the game's 32-bit numbers, or so small that it arrives as 0"},
    {"display_not_positive",
     "DisplayScale or DisplayTime is 0 or below: players cannot see the notification"},
    {"key_missing", "a key the entry's Type needs is missing: every use of the command fails"},
    {"value_kind",
     "a value the command reads is of the wrong kind: every use of the command fails"},
    {"color_short", "Color has fewer than four elements: every use of the command fails"},
    {"command_failed",
     "using the command failed for a reason no other finding explains; the library's text says "
     "why"},
    {"game_memory", "the plugin did not give back game memory after the probes"},
    {"scratch_folder", "the reload preview cannot make or write its scratch server folder"},
};

struct SeverityPlurals {
  Finding::Severity value;
  const char* plural;
};
constexpr SeverityPlurals kPlurals[] = {
    {Finding::Severity::Error, "errors"},
    {Finding::Severity::Warning, "warnings"},
    {Finding::Severity::Note, "notes"},
};
static_assert(InEnumOrder(kPlurals));

// "Command, Reply, ... and DisplayTime".
std::string KeyList() {
  std::string list;
  for (std::size_t i = 0; i < quorvane::kEntryKeys.size(); ++i) {
    list += i == 0 ? "" : i + 1 == quorvane::kEntryKeys.size() ? " and " : ", ";
    list += quorvane::kEntryKeys[i]->name;
  }
  return list;
}

std::string_view CauseOf(const Finding& finding) {
  return finding.syntax ? std::string_view(finding.syntax->cause) : std::string_view();
}

std::string CauseHint(std::string_view cause) {
  if (cause == "missing_comma") {
    return "missing comma? put a ',' between the two values";
  }
  if (cause == "trailing_comma") {
    return "remove the ',' before the closing bracket: JSON allows no trailing comma";
  }
  if (cause == "comment") {
    return "JSON has no comments; remove it, or keep notes in a member such as \"Note\"";
  }
  if (cause == "single_quote") {
    return "JSON strings take double quotes: \"...\"";
  }
  if (cause == "unquoted_key") {
    return "put the key in double quotes: \"Key\": ...";
  }
  if (cause == "control_character") {
    return "write a line break in a string as \\n and a tab as \\t";
  }
  if (cause == "byte_order_mark") {
    return "the file starts with a second byte-order mark; save it as UTF-8 without BOM";
  }
  return "the plugin does not start with this file";
}

// Each bracket still open, innermost first: "close the '{' of line 2, then the '[' of line 1".
std::string UnclosedHint(const Finding& finding) {
  std::string hint = "the file ends inside a bracket: close ";
  for (std::size_t i = finding.related.size(); i-- > 0;) {
    const Finding::Related& bracket = finding.related[i];
    hint += fmt::format("{}the {} of line {}", i + 1 == finding.related.size() ? "" : ", then ",
                        bracket.role == "open_object" ? "'{'" : "'['",
                        bracket.point ? bracket.point->line : 0);
  }
  return hint;
}

// The escapes of a reply's control characters: "\x1b \u009b".
std::string ControlList(std::string_view controls) {
  std::string list;
  for (const std::string& escape : ControlEscapes(controls)) {
    list += (list.empty() ? "" : " ") + escape;
  }
  return list;
}

FindingWords FileWords(const Finding& finding) {
  const std::string& path = finding.Value("path");
  const std::string& reason = finding.Value("reason");
  const std::string& code = finding.code;
  if (code == "file_missing") {
    return {fmt::format("cannot open {}: not found", path),
            fmt::format("create {} under the server folder", quorvane::kConfigFileInServer)};
  }
  if (code == "file_folder") {
    return {fmt::format("cannot open {}: it is a folder", path),
            "remove the folder and put the configuration file in its place"};
  }
  if (code == "file_not_regular") {
    return {fmt::format("cannot open {}: not a regular file (a FIFO, a device or a socket)", path),
            "replace it with an ordinary file; the plugin opens nothing else"};
  }
  if (code == "file_permission_denied") {
    return {fmt::format("cannot open {}: permission denied", path),
            "let the account the server runs as read the file and the folders above it"};
  }
  const std::string what = path.empty() ? std::string("the file") : path;
  return {fmt::format("cannot {} {}: {}", finding.Value("read").empty() ? "open" : "read", what,
                      reason),
          "the system could not read the file for the reason given"};
}

FindingWords EntryWords(const Finding& f, const Quote& q) {
  const std::string& code = f.code;
  const auto value = [&f](std::string_view name) -> const std::string& { return f.Value(name); };
  if (code == "entry_kind") {
    return {"is " + KindWithArticle(value("kind")) + ", not an object",
            "each entry is {\"Command\": ..., \"Reply\": ..., \"Type\": ...}; the plugin will not "
            "start"};
  }
  if (code == "unknown_key") {
    if (!value("top").empty()) {
      return {"top-level key is never read", f.suggestion ? "did you mean \"ChatCommands\"?"
                                                          : "Quorvane reads only \"ChatCommands\""};
    }
    return {"key is never read", f.suggestion ? fmt::format("did you mean {}?", q(*f.suggestion))
                                              : "Quorvane reads " + KeyList()};
  }
  if (code == "command_kind") {
    return {value("kind").empty() ? "is missing" : "is " + KindWithArticle(value("kind")),
            "every entry needs a \"Command\" string; the plugin will not start"};
  }
  if (code == "command_empty") {
    return {"is empty", "no player can ever type it"};
  }
  if (code == "command_nul") {
    return {fmt::format("{} is registered as {}", q(value("command")), q(value("registered"))),
            "the text from U+0000 on is dropped; remove the \\u0000"};
  }
  if (code == "command_non_ascii") {
    return {fmt::format("{} is registered as {}", q(value("command")), q(value("registered"))),
            "each byte outside ASCII becomes '?'; use ASCII letters only"};
  }
  if (code == "command_untypable") {
    Untypable untypable = Untypable::Control;
    for (const UntypableName& name : kUntypableNames) {
      untypable = name.word == value("reason") ? name.value : untypable;
    }
    return {fmt::format("{} is reached by no typed line: {}", q(value("registered")),
                        UntypableWords(untypable)),
            "remove blanks and control characters such as tabs and line breaks"};
  }
  if (code == "command_no_slash") {
    return {fmt::format("{} does not start with '/'", q(value("command"))),
            "allowed, but players expect chat commands to start with '/'"};
  }
  if (code == "command_duplicate") {
    return {fmt::format("{} is also the command of an earlier entry, which players reach instead",
                        q(value("registered"))),
            "give this entry its own command"};
  }
  if (code == "unknown_type") {
    return {fmt::format("{} is none of {}; nothing is sent", q(value("type")),
                        quorvane::ReplyTypeList()),
            f.suggestion ? fmt::format("did you mean {}? (letter case counts)", q(*f.suggestion))
                         : "use ServerChat, ClientChat or Notification"};
  }
  if (code == "number_boolean" || code == "number_range") {
    const std::string label = value("component").empty() ? "is " : value("component") + " = ";
    const std::string received = FloatText(f.received.value_or(0.0f));
    if (code == "number_boolean") {
      return {fmt::format("{}{}: the game receives {}", label, value("written"), received),
              "write the number"};
    }
    if (value("range") == "beyond") {
      return {fmt::format("{}{}, beyond the game's 32-bit numbers: it receives {}", label,
                          value("written"), received),
              "use a number of at most 3.4e38"};
    }
    return {fmt::format("{}{}, below the game's 32-bit numbers: it receives 0", label,
                        value("written")),
            "use 0 or a number of at least 1.2e-38"};
  }
  if (code == "color_length") {
    return {fmt::format("has {} elements", value("elements")),
            "only R, G, B, A are read; elements after the fourth are ignored"};
  }
  const std::string component = value("component") + " = " + value("written");
  if (code == "color_range") {
    return {component + " above 1", "the game takes linear 0-1 values, not 0-255; divide by 255"};
  }
  if (code == "color_negative") {
    return {component + " below 0", "the game takes linear 0-1 values and passes negative ones on"};
  }
  if (code == "color_transparent") {
    return {component + ": the message is fully transparent",
            "players cannot see it; A is opacity, use 1 for an opaque message"};
  }
  if (code == "reply_blank") {
    return {value("reply").empty() ? std::string("is empty") : "is blank: " + q(value("reply")),
            "players see an empty message; write the text they should see"};
  }
  if (code == "reply_control") {
    return {fmt::format("{} holds control characters: {}", q(value("reply")),
                        ControlList(value("controls"))),
            "chat does not show them and terminals act on them; remove them"};
  }
  if (code == "reply_nul") {
    return {fmt::format("the text after U+0000 is never shown: players see {}, and {} is lost",
                        q(value("shown")), q(value("lost"))),
            "remove the \\u0000"};
  }
  if (code == "reply_braces") {
    return {fmt::format("{} fails formatting: a lone brace starts a replacement field",
                        q(value("reply"))),
            BraceHintWords(value("escaped"), q)};
  }
  if (code == "reply_doubled_braces") {
    return {"players see " + q(value("shown")), "doubled braces show as one brace"};
  }
  if (code == "display_not_positive") {
    return {"is " + value("written"),
            "players cannot see such a notification; use a positive number"};
  }
  if (code == "key_missing") {
    const std::string& type = value("type");
    return {fmt::format("is missing; {} needs it",
                        type.empty() ? std::string("every entry") : "Type " + q(type)),
            fmt::format("add \"{}\" to the entry; every use of the command fails", f.subject)};
  }
  if (code == "value_kind") {
    const quorvane::EntryKey* key = nullptr;
    for (const quorvane::EntryKey* known : quorvane::kEntryKeys) {
      key = known->name == f.subject ? known : key;
    }
    if (!value("element").empty()) {
      return {fmt::format("element {} is {}, not a number", value("element"),
                          KindWithArticle(value("kind"))),
              "every use of the command fails on it"};
    }
    const char* wanted = key == nullptr                                  ? "another kind"
                         : key->kind == quorvane::EntryValueKind::String ? "a string"
                         : key->kind == quorvane::EntryValueKind::Number
                             ? "a number"
                             : "an array of four numbers";
    return {fmt::format("is {}, not {}", KindWithArticle(value("kind")), wanted),
            "every use of the command fails on it"};
  }
  if (code == "color_short") {
    return {fmt::format("has {} element{}; it needs four: R, G, B, A", value("elements"),
                        value("elements") == "1" ? "" : "s"),
            "every use of the command fails; write [R, G, B, A], e.g. [1, 1, 1, 1]"};
  }
  if (code == "command_failed") {
    return {value("error"),
            value("because").empty() ? "using the command fails at every use" : value("because")};
  }
  return {};
}

}  // namespace

FindingWords WordsOf(const Finding& finding, const Quote& quote) {
  const std::string& code = finding.code;
  if (code.rfind("file_", 0) == 0) {
    return FileWords(finding);
  }
  if (code == "parse_error") {
    return {finding.Value("error"),
            CauseOf(finding) == "unclosed" ? UnclosedHint(finding) : CauseHint(CauseOf(finding))};
  }
  if (code == "repeated_key") {
    const std::string& kind = finding.Value("ignored_kind");
    return {fmt::format("is given again in one object; the first value counts, {} is ignored",
                        kind.empty() ? finding.Value("ignored") : "this " + kind),
            "keep one of the two"};
  }
  if (code == "trailing_text") {
    return {fmt::format("text after the top-level value is never read: {}{}",
                        quote(finding.Value("excerpt")),
                        finding.Value("cut").empty() ? "" : " (excerpt)"),
            "a bracket that closes the file early cuts off everything after it"};
  }
  if (code == "document_kind") {
    return {"the file holds " + KindWithArticle(finding.Value("kind")) + ", not an object",
            "write {\"ChatCommands\": [ ... ]}"};
  }
  if (code == "no_commands") {
    return {finding.Value("missing").empty() ? "holds no entry" : "is missing",
            "no chat command is registered"};
  }
  if (code == "commands_kind") {
    return {
        "is an object: its members are registered and counted as entries in the sorted order "
        "of their keys, not as written, and every use of them fails",
        "write a list: \"ChatCommands\": [ {...}, {...} ]"};
  }
  if (code == "scratch_folder") {
    const std::string& action = finding.Value("action");
    const std::string& path = finding.Value("path");
    const std::string& reason = finding.Value("reason");
    return {action == "create_under"
                ? fmt::format("cannot create a scratch folder under {}: {}", path, reason)
                : fmt::format("cannot {} {}: {}", action, path, reason),
            "the preview needs a temporary folder it may write: TMPDIR names it (TMP on "
            "Windows)"};
  }
  if (code == "game_memory") {
    return {fmt::format("{} game allocations ({} bytes) were never released by the plugin",
                        finding.Value("blocks"), finding.Value("bytes")),
            "the plugin leaks the game's memory; a session exits 3 for the same"};
  }
  return EntryWords(finding, quote);
}

std::string_view MeaningOf(std::string_view code) {
  for (const CodeMeaning& row : kMeanings) {
    if (row.code == code) {
      return row.meaning;
    }
  }
  return {};
}

const char* SeverityPlural(Finding::Severity severity) {
  return RowOf(kPlurals, severity).plural;
}

std::string KindWithArticle(std::string_view kind) {
  const bool vowel =
      !kind.empty() && std::string_view("aeiou").find(kind.front()) != std::string_view::npos;
  return (vowel ? "an " : "a ") + std::string(kind);
}

std::string RelatedWords(std::string_view role) {
  if (role == "first_registration") {
    return "first registered here";
  }
  return role == "open_object" ? "'{' opened here" : "'[' opened here";
}

}  // namespace devhost
