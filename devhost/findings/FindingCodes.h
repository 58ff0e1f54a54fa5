#pragma once
// Every finding the check reports: its code, the stable name programs see, its severity, and
// what it means. The README lists the same table.

#include "devhost/findings/ConfigCheck.h"

namespace devhost {

struct FindingCode {
  const char* code;
  Finding::Severity severity;
  const char* meaning;
};

// The file.
inline constexpr FindingCode kFileMissing = {"file_missing", Finding::Severity::Error,
                                             "there is no config.json in the plugin's folder"};
inline constexpr FindingCode kFileFolder = {"file_folder", Finding::Severity::Error,
                                            "config.json is a folder"};
inline constexpr FindingCode kFileNotRegular = {"file_not_regular", Finding::Severity::Error,
                                                "config.json is a FIFO, a device or a socket"};
inline constexpr FindingCode kFilePermissionDenied = {
    "file_permission_denied", Finding::Severity::Error,
    "the check may not read config.json or a folder above it"};
inline constexpr FindingCode kFileUnreadable = {
    "file_unreadable", Finding::Severity::Error,
    "the system could not read config.json for another reason"};
inline constexpr FindingCode kParseError = {
    "parse_error", Finding::Severity::Error,
    "the file is not JSON the plugin reads: a syntax error, a number out of range, or nesting "
    "too deep; the plugin does not start"};
inline constexpr FindingCode kRepeatedKey = {
    "repeated_key", Finding::Severity::Warning,
    "a key is given twice in one object: the first value counts, the other is ignored"};
inline constexpr FindingCode kTrailingText = {"trailing_text", Finding::Severity::Warning,
                                              "text after the top-level value is never read"};
inline constexpr FindingCode kDocumentKind = {
    "document_kind", Finding::Severity::Error,
    "the file holds something other than an object; the plugin does not start"};
inline constexpr FindingCode kNoCommands = {
    "no_commands", Finding::Severity::Warning,
    "ChatCommands is missing or empty: no command is registered"};
inline constexpr FindingCode kCommandsKind = {
    "commands_kind", Finding::Severity::Error,
    "ChatCommands is an object, not a list: every use of its commands fails"};
// Each entry.
inline constexpr FindingCode kEntryKind = {"entry_kind", Finding::Severity::Error,
                                           "an entry is not an object; the plugin does not start"};
inline constexpr FindingCode kUnknownKey = {
    "unknown_key", Finding::Severity::Warning,
    "a key the plugin never reads, with the nearest known one"};
inline constexpr FindingCode kCommandKind = {
    "command_kind", Finding::Severity::Error,
    "Command is missing or not a string; the plugin does not start"};
inline constexpr FindingCode kCommandEmpty = {"command_empty", Finding::Severity::Warning,
                                              "Command is empty: no player can type it"};
inline constexpr FindingCode kCommandNul = {"command_nul", Finding::Severity::Warning,
                                            "Command holds U+0000, which cuts it short"};
inline constexpr FindingCode kCommandNonAscii = {
    "command_non_ascii", Finding::Severity::Warning,
    "Command has bytes outside ASCII, each registered as '?'"};
inline constexpr FindingCode kCommandUntypable = {
    "command_untypable", Finding::Severity::Warning,
    "no typed line reaches Command: it holds a blank, a tab or a line break"};
inline constexpr FindingCode kCommandNoSlash = {"command_no_slash", Finding::Severity::Warning,
                                                "Command does not start with '/'"};
inline constexpr FindingCode kCommandDuplicate = {
    "command_duplicate", Finding::Severity::Warning,
    "an earlier entry has the same Command, letter case aside: players reach only that one"};
inline constexpr FindingCode kUnknownType = {
    "unknown_type", Finding::Severity::Warning,
    "Type is none of ServerChat, ClientChat and Notification: nothing is sent"};
inline constexpr FindingCode kReplyBlank = {"reply_blank", Finding::Severity::Warning,
                                            "Reply is empty or blank"};
inline constexpr FindingCode kReplyControl = {
    "reply_control", Finding::Severity::Warning,
    "Reply holds control characters other than line breaks and tabs"};
inline constexpr FindingCode kReplyNul = {
    "reply_nul", Finding::Severity::Warning,
    "Reply holds U+0000: players never see the text after it"};
inline constexpr FindingCode kReplyBraces = {
    "reply_braces", Finding::Severity::Error,
    "Reply holds a single brace, which makes every use fail"};
inline constexpr FindingCode kReplyDoubledBraces = {
    "reply_doubled_braces", Finding::Severity::Note,
    "Reply holds doubled braces, which players see as single ones"};
inline constexpr FindingCode kColorLength = {
    "color_length", Finding::Severity::Warning,
    "Color has more than four elements; the rest are ignored"};
inline constexpr FindingCode kColorRange = {"color_range", Finding::Severity::Warning,
                                            "colour components above 1, as if 0-255"};
inline constexpr FindingCode kColorNegative = {"color_negative", Finding::Severity::Warning,
                                               "colour components below 0"};
inline constexpr FindingCode kColorTransparent = {"color_transparent", Finding::Severity::Warning,
                                                  "alpha is 0 or below: the message is invisible"};
inline constexpr FindingCode kNumberBoolean = {
    "number_boolean", Finding::Severity::Warning,
    "true or false where a number belongs: the game receives 1 or 0"};
inline constexpr FindingCode kNumberRange = {
    "number_range", Finding::Severity::Warning,
    "a number beyond the game's 32-bit numbers, or so small that it arrives as 0"};
inline constexpr FindingCode kDisplayNotPositive = {
    "display_not_positive", Finding::Severity::Warning,
    "DisplayScale or DisplayTime is 0 or below: players cannot see the notification"};
inline constexpr FindingCode kKeyMissing = {
    "key_missing", Finding::Severity::Error,
    "a key the entry's Type needs is missing: every use of the command fails"};
inline constexpr FindingCode kValueKind = {
    "value_kind", Finding::Severity::Error,
    "a value the command reads is of the wrong kind: every use of the command fails"};
inline constexpr FindingCode kColorShort = {
    "color_short", Finding::Severity::Error,
    "Color has fewer than four elements: every use of the command fails"};
// The plugin at work.
inline constexpr FindingCode kCommandFailed = {
    "command_failed", Finding::Severity::Error,
    "using the command failed for a reason no other finding explains; the library's text says why"};
inline constexpr FindingCode kGameMemory = {
    "game_memory", Finding::Severity::Error,
    "the plugin did not give back game memory after the probes"};

// Every code, in the order the README lists them.
inline constexpr const FindingCode* kFindingCodes[] = {
    &kFileMissing,        &kFileFolder,         &kFileNotRegular, &kFilePermissionDenied,
    &kFileUnreadable,     &kParseError,         &kRepeatedKey,    &kTrailingText,
    &kDocumentKind,       &kNoCommands,         &kCommandsKind,   &kEntryKind,
    &kUnknownKey,         &kCommandKind,        &kCommandEmpty,   &kCommandNul,
    &kCommandNonAscii,    &kCommandUntypable,   &kCommandNoSlash, &kCommandDuplicate,
    &kUnknownType,        &kReplyBlank,         &kReplyControl,   &kReplyNul,
    &kReplyBraces,        &kReplyDoubledBraces, &kColorLength,    &kColorRange,
    &kColorNegative,      &kColorTransparent,   &kNumberBoolean,  &kNumberRange,
    &kDisplayNotPositive, &kKeyMissing,         &kValueKind,      &kColorShort,
    &kCommandFailed,      &kGameMemory,
};

// A finding of `code`, with its severity.
inline Finding FindingOf(const FindingCode& code) {
  Finding finding;
  finding.code = code.code;
  finding.severity = code.severity;
  return finding;
}

}  // namespace devhost
