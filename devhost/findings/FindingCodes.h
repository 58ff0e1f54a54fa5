#pragma once
// Every finding the check reports: its code, the stable name programs see, and its severity.
// What each means is the catalogue's (devhost/catalogue/); the README lists both.

#include "devhost/findings/Finding.h"

namespace devhost {

struct FindingCode {
  const char* code;
  Finding::Severity severity;
};

// The file.
inline constexpr FindingCode kFileMissing = {"file_missing", Finding::Severity::Error};
inline constexpr FindingCode kFileFolder = {"file_folder", Finding::Severity::Error};
inline constexpr FindingCode kFileNotRegular = {"file_not_regular", Finding::Severity::Error};
inline constexpr FindingCode kFilePermissionDenied = {"file_permission_denied",
                                                      Finding::Severity::Error};
inline constexpr FindingCode kFileUnreadable = {"file_unreadable", Finding::Severity::Error};
inline constexpr FindingCode kParseError = {"parse_error", Finding::Severity::Error};
inline constexpr FindingCode kRepeatedKey = {"repeated_key", Finding::Severity::Warning};
inline constexpr FindingCode kTrailingText = {"trailing_text", Finding::Severity::Warning};
inline constexpr FindingCode kDocumentKind = {"document_kind", Finding::Severity::Error};
inline constexpr FindingCode kNoCommands = {"no_commands", Finding::Severity::Warning};
inline constexpr FindingCode kCommandsKind = {"commands_kind", Finding::Severity::Error};
// Each entry.
inline constexpr FindingCode kEntryKind = {"entry_kind", Finding::Severity::Error};
inline constexpr FindingCode kUnknownKey = {"unknown_key", Finding::Severity::Warning};
inline constexpr FindingCode kCommandKind = {"command_kind", Finding::Severity::Error};
inline constexpr FindingCode kCommandEmpty = {"command_empty", Finding::Severity::Warning};
inline constexpr FindingCode kCommandNul = {"command_nul", Finding::Severity::Warning};
inline constexpr FindingCode kCommandNonAscii = {"command_non_ascii", Finding::Severity::Warning};
inline constexpr FindingCode kCommandUntypable = {"command_untypable", Finding::Severity::Warning};
inline constexpr FindingCode kCommandNoSlash = {"command_no_slash", Finding::Severity::Warning};
inline constexpr FindingCode kCommandDuplicate = {"command_duplicate", Finding::Severity::Warning};
inline constexpr FindingCode kUnknownType = {"unknown_type", Finding::Severity::Warning};
inline constexpr FindingCode kReplyBlank = {"reply_blank", Finding::Severity::Warning};
inline constexpr FindingCode kReplyControl = {"reply_control", Finding::Severity::Warning};
inline constexpr FindingCode kReplyNul = {"reply_nul", Finding::Severity::Warning};
inline constexpr FindingCode kReplyBraces = {"reply_braces", Finding::Severity::Error};
inline constexpr FindingCode kReplyDoubledBraces = {"reply_doubled_braces",
                                                    Finding::Severity::Note};
inline constexpr FindingCode kColorLength = {"color_length", Finding::Severity::Warning};
inline constexpr FindingCode kColorRange = {"color_range", Finding::Severity::Warning};
inline constexpr FindingCode kColorNegative = {"color_negative", Finding::Severity::Warning};
inline constexpr FindingCode kColorTransparent = {"color_transparent", Finding::Severity::Warning};
inline constexpr FindingCode kNumberBoolean = {"number_boolean", Finding::Severity::Warning};
inline constexpr FindingCode kNumberRange = {"number_range", Finding::Severity::Warning};
inline constexpr FindingCode kDisplayNotPositive = {"display_not_positive",
                                                    Finding::Severity::Warning};
inline constexpr FindingCode kKeyMissing = {"key_missing", Finding::Severity::Error};
inline constexpr FindingCode kValueKind = {"value_kind", Finding::Severity::Error};
inline constexpr FindingCode kColorShort = {"color_short", Finding::Severity::Error};
// The plugin at work.
inline constexpr FindingCode kCommandFailed = {"command_failed", Finding::Severity::Error};
inline constexpr FindingCode kGameMemory = {"game_memory", Finding::Severity::Error};
// The reload preview's own folder.
inline constexpr FindingCode kScratchFolder = {"scratch_folder", Finding::Severity::Error};

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
    &kCommandFailed,      &kGameMemory,         &kScratchFolder,
};

// A finding of `code`, with its severity.
inline Finding FindingOf(const FindingCode& code) {
  Finding finding;
  finding.code = code.code;
  finding.severity = code.severity;
  return finding;
}

}  // namespace devhost
