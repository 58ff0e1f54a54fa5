#include "devhost/findings/ConfigCheck.h"

#include <algorithm>
#include <cmath>
#include <istream>
#include <iterator>
#include <stdexcept>
#include <streambuf>
#include <unordered_map>

#include <spdlog/fmt/fmt.h>

#include "config/ByteOrderMark.h"
#include "config/CommandText.h"
#include "config/ConfigFile.h"
#include "config/EntryKeys.h"
#include "config/FirstValueParser.h"
#include "config/GameFloat.h"
#include "config/RegistrationCheck.h"
#include "config/ReplyTypes.h"
#include "devhost/findings/EntryRules.h"
#include "devhost/findings/FindingCodes.h"
#include "devhost/findings/LoadedDocument.h"
#include "devhost/findings/ReplyBraces.h"
#include "devhost/findings/Typable.h"
#include "devhost/present/MessageText.h"
#include "devhost/present/Printable.h"
#include "devhost/present/ReportText.h"
#include "devhost/text/Nearest.h"
#include "devhost/text/Text.h"

using quorvane::ChatCommandElements;
using quorvane::CommandOf;
using quorvane::CommandTextAsRegistered;
using quorvane::ConfigFileProblem;
using quorvane::ConfigFileRead;
using quorvane::EntryKey;
using quorvane::EntryValueKind;
using quorvane::GameFloatOf;
using quorvane::IsReplyType;
using quorvane::kColorKey;
using quorvane::kCommandKey;
using quorvane::kConfigFileInServer;
using quorvane::kEntryKeys;
using quorvane::kReplyKey;
using quorvane::kReplyTypes;
using quorvane::kTypeKey;
using quorvane::ParseFirstValue;
using quorvane::ParseObserver;
using quorvane::ReadConfigFile;
using quorvane::ReplyTypeList;
using quorvane::WithoutByteOrderMark;

namespace devhost {
namespace {

using json = nlohmann::json;

const std::vector<std::string> kEntryKeyNames = [] {
  std::vector<std::string> names;
  for (const EntryKey* key : kEntryKeys) {
    names.emplace_back(key->name);
  }
  return names;
}();
// "$schema" lets editors find the schema; the plugin ignores it like any other member.
const std::vector<std::string> kTopKeys = {"ChatCommands", "$schema"};
const std::vector<std::string> kReplyTypeNames(kReplyTypes.begin(), kReplyTypes.end());

Finding Warn(std::size_t position, const FindingCode& code, std::string subject, std::string text,
             std::string hint = {}) {
  Finding finding = FindingOf(code);
  finding.position = position;
  finding.subject = std::move(subject);
  finding.text = std::move(text);
  finding.hint = std::move(hint);
  return finding;
}

// The file's bytes as a stream, read in place: the check reads the file through the plugin's
// own stream extraction.
class BytesBuffer final : public std::streambuf {
 public:
  explicit BytesBuffer(std::string_view bytes) {
    // Only read: a stream that hands back bytes it read never writes them.
    char* const begin = const_cast<char*>(bytes.data());
    setg(begin, begin, begin + bytes.size());
  }
};

// "Command, Reply, ... and DisplayTime".
std::string KeyList() {
  std::string list = kEntryKeyNames.front();
  for (std::size_t i = 1; i < kEntryKeyNames.size(); ++i) {
    list += (i + 1 == kEntryKeyNames.size() ? " and " : ", ") + kEntryKeyNames[i];
  }
  return list;
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) {
    joined.append(joined.empty() ? "" : ", ").append(text);
  }
  return joined;
}

// Line (from 1) and column of the byte at offset `consumed` - 1, counted as the JSON library
// counts them in its messages, so that a parse error shows one place: columns count bytes from
// 1, and a line break read last stands at column 0 of the next line.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text) : size_(text.size()) {
    for (std::size_t at = text.find('\n'); at != std::string_view::npos;
         at = text.find('\n', at + 1)) {
      breaks_.push_back(at);
    }
  }
  std::pair<std::size_t, std::size_t> At(std::size_t consumed) const {
    // The library counts the end of the input as one more byte it read.
    consumed = std::min(consumed, size_ + 1);
    // Line breaks among the first `consumed` bytes.
    const auto before = std::lower_bound(breaks_.begin(), breaks_.end(), consumed);
    const std::size_t line = 1 + static_cast<std::size_t>(before - breaks_.begin());
    const std::size_t line_start = before == breaks_.begin() ? 0 : *std::prev(before) + 1;
    return {line, consumed - line_start};
  }

 private:
  std::size_t size_;
  std::vector<std::size_t> breaks_;
};

// Collects what the parse passes over, with where it happens.
class ParseNotes final : public ParseObserver {
 public:
  struct Repeat {
    std::size_t offset;
    std::string key;
    json ignored;
    std::optional<std::size_t> entry;
  };
  std::vector<Repeat> repeats;
  std::size_t value_end = 0;
  std::optional<std::size_t> failed;

  void RepeatedKey(std::size_t offset, const std::string& key, const json& ignored,
                   std::optional<std::size_t> entry) override {
    repeats.push_back({offset, key, ignored, entry});
  }
  void ValueEnd(std::size_t offset) override { value_end = offset; }
  void Failed(std::size_t offset) override { failed = offset; }
};

void SetPlace(Finding& finding, const LineIndex& lines, std::size_t consumed) {
  const auto [line, column] = lines.At(consumed);
  finding.line = line;
  finding.column = column;
}

Finding ParseFailure(const LineIndex& lines, const std::exception& error,
                     std::optional<std::size_t> consumed) {
  Finding finding = FindingOf(kParseError);
  finding.text = error.what();
  finding.hint = "the plugin does not start with this file";
  if (consumed) {
    SetPlace(finding, lines, *consumed);
  }
  return finding;
}

void CheckRepeatedKeys(const ParseNotes& notes, const LineIndex& lines,
                       std::vector<Finding>& findings) {
  for (const ParseNotes::Repeat& repeat : notes.repeats) {
    Finding finding = FindingOf(kRepeatedKey);
    finding.subject = Clipped(repeat.key);
    const std::string ignored = repeat.ignored.is_object()  ? std::string("this object")
                                : repeat.ignored.is_array() ? std::string("this array")
                                                            : Clipped(repeat.ignored.dump());
    finding.text =
        fmt::format("is given again in one object; the first value counts, {} is ignored", ignored);
    finding.hint = "keep one of the two";
    finding.position = repeat.entry;
    SetPlace(finding, lines, repeat.offset);
    findings.push_back(std::move(finding));
  }
}

void CheckTrailingText(std::string_view text, const ParseNotes& notes, const LineIndex& lines,
                       std::vector<Finding>& findings) {
  const std::size_t at = text.find_first_not_of(" \t\r\n", notes.value_end);
  if (at == std::string_view::npos) {
    return;
  }
  std::string_view rest = text.substr(at);
  rest = rest.substr(0, rest.find_last_not_of(" \t\r\n") + 1);
  Finding finding = FindingOf(kTrailingText);
  finding.text =
      fmt::format("text after the top-level value is never read: {}", Quoted(Clipped(rest)));
  finding.hint = "a bracket that closes the file early cuts off everything after it";
  SetPlace(finding, lines, at + 1);
  findings.push_back(std::move(finding));
}

void CheckKeys(const json& entry, std::size_t position, std::vector<Finding>& findings) {
  for (const auto& member : entry.items()) {
    const std::string& key = member.key();
    if (std::find(kEntryKeyNames.begin(), kEntryKeyNames.end(), key) != kEntryKeyNames.end()) {
      continue;
    }
    Finding finding = Warn(position, kUnknownKey, Clipped(key), "key is never read");
    finding.suggestion = NearestOf(key, kEntryKeyNames);
    finding.hint = finding.suggestion ? fmt::format("did you mean {}?", Quoted(*finding.suggestion))
                                      : "Quorvane reads " + KeyList();
    findings.push_back(std::move(finding));
  }
}

// What registering the entry does: its command text, or the id of the type_error that stops
// the start (305: not an object; 302: "Command" missing or not a string).
struct Registration {
  const std::string* command = nullptr;
  int error = 0;
};

Registration RegistrationOf(const json& entry) {
  try {
    return {&CommandOf(entry), 0};
  } catch (const json::type_error& error) {
    return {nullptr, error.id};
  }
}

// `registered` is the text the host registers for the entry's "Command", when it has one.
void CheckCommand(const json& entry, const Registration& registration,
                  const std::string& registered, std::size_t position,
                  std::vector<Finding>& findings) {
  if (registration.command == nullptr) {
    const auto found = entry.find(kCommandKey.name);
    findings.push_back(Warn(position, kCommandKind, kCommandKey.name,
                            found == entry.end() ? "is missing" : "is " + KindOf(*found),
                            "every entry needs a \"Command\" string; the plugin will not start"));
    return;
  }
  const std::string& command = *registration.command;
  if (command.empty()) {
    findings.push_back(
        Warn(position, kCommandEmpty, kCommandKey.name, "is empty", "no player can ever type it"));
    return;
  }
  const std::string_view before_nul(command.c_str());
  if (before_nul.size() != command.size()) {
    findings.push_back(Warn(position, kCommandNul, kCommandKey.name,
                            fmt::format("{} is registered as {}", Quoted(Clipped(command)),
                                        Quoted(Clipped(registered))),
                            "the text from U+0000 on is dropped; remove the \\u0000"));
  } else if (registered != command) {
    findings.push_back(Warn(position, kCommandNonAscii, kCommandKey.name,
                            fmt::format("{} is registered as {}", Quoted(Clipped(command)),
                                        Quoted(Clipped(registered))),
                            "each byte outside ASCII becomes '?'; use ASCII letters only"));
  }
  if (registered.empty()) {
    return;  // the U+0000 finding says why
  }
  if (const std::string reason = UntypableReason(registered); !reason.empty()) {
    findings.push_back(
        Warn(position, kCommandUntypable, kCommandKey.name,
             fmt::format("{} is reached by no typed line: {}", Quoted(Clipped(registered)), reason),
             "remove blanks and control characters such as tabs and line breaks"));
  } else if (command.front() != '/') {
    findings.push_back(Warn(position, kCommandNoSlash, kCommandKey.name,
                            fmt::format("{} does not start with '/'", Quoted(Clipped(command))),
                            "allowed, but players expect chat commands to start with '/'"));
  }
}

// The host matches commands ignoring ASCII case and the first registration wins. `first_of`
// holds the folded texts of the entries before this one.
void CheckDuplicate(const std::string& registered, std::size_t position,
                    std::unordered_map<std::string, std::size_t>& first_of,
                    std::vector<Finding>& findings) {
  if (registered.empty()) {
    return;
  }
  const auto [earlier, first] = first_of.emplace(AsciiFolded(registered), position);
  if (first) {
    return;
  }
  findings.push_back(
      Warn(position, kCommandDuplicate, kCommandKey.name,
           fmt::format("{} is also the command of entry {}", Quoted(Clipped(registered)),
                       earlier->second),
           fmt::format("players reach only entry {}; give this entry its own command",
                       earlier->second)));
}

void CheckType(const json& entry, std::size_t position, std::vector<Finding>& findings) {
  const auto found = entry.find(kTypeKey.name);
  if (found == entry.end() || !found->is_string()) {
    return;  // using the command fails; the probe reports it
  }
  const std::string& type = found->get_ref<const std::string&>();
  if (IsReplyType(type)) {
    return;
  }
  Finding finding = Warn(
      position, kUnknownType, kTypeKey.name,
      fmt::format("{} is none of {}; nothing is sent", Quoted(Clipped(type)), ReplyTypeList()));
  finding.suggestion = NearestOf(type, kReplyTypeNames);
  finding.hint = finding.suggestion ? fmt::format("did you mean {}? (letter case counts)",
                                                  Quoted(*finding.suggestion))
                                    : "use ServerChat, ClientChat or Notification";
  findings.push_back(std::move(finding));
}

// A number the game receives differently from how the file writes it: a boolean, or a value
// beyond a 32-bit float. `label` leads the text, e.g. "R = " or "is ".
void CheckReceived(const json& value, std::size_t position, const char* subject, const char* label,
                   std::vector<Finding>& findings) {
  if (value.is_boolean()) {
    findings.push_back(Warn(position, kNumberBoolean, subject,
                            fmt::format("{}{}: the game receives {}", label, value.dump(),
                                        FloatText(GameFloatOf(value))),
                            "write the number"));
    return;
  }
  if (!value.is_number()) {
    return;
  }
  const double written = value.get<double>();
  const float received = GameFloatOf(value);
  if (std::isinf(received)) {
    findings.push_back(Warn(position, kNumberRange, subject,
                            fmt::format("{}{}, beyond the game's 32-bit numbers: it receives {}",
                                        label, value.dump(), FloatText(received)),
                            "use a number of at most 3.4e38"));
  } else if (received == 0.0f && written != 0.0) {
    findings.push_back(Warn(
        position, kNumberRange, subject,
        fmt::format("{}{}, below the game's 32-bit numbers: it receives 0", label, value.dump()),
        "use 0 or a number of at least 1.2e-38"));
  }
}

void CheckColour(const json& entry, std::size_t position, std::vector<Finding>& findings) {
  const auto found = entry.find(kColorKey.name);
  if (found == entry.end() || !found->is_array()) {
    return;
  }
  const json& colour = *found;
  if (colour.size() > 4) {
    findings.push_back(Warn(position, kColorLength, kColorKey.name,
                            fmt::format("has {} elements", colour.size()),
                            "only R, G, B, A are read; elements after the fourth are ignored"));
  }
  std::vector<std::string> high;
  std::vector<std::string> negative;
  std::optional<std::string> invisible;  // an alpha at or below 0
  static const char* const kNames[] = {"R", "G", "B", "A"};
  for (std::size_t i = 0; i < std::min<std::size_t>(colour.size(), 4); ++i) {
    static const char* const kLabels[] = {"R = ", "G = ", "B = ", "A = "};
    CheckReceived(colour[i], position, kColorKey.name, kLabels[i], findings);
    if (!colour[i].is_number()) {
      continue;
    }
    const float received = GameFloatOf(colour[i]);
    if (std::isinf(received)) {
      continue;  // reported as out of range
    }
    if (i == 3 && received <= 0.0f) {
      invisible = colour[i].dump();
    } else if (received > 1.0f) {
      high.push_back(fmt::format("{} = {}", kNames[i], colour[i].dump()));
    } else if (received < 0.0f) {
      negative.push_back(fmt::format("{} = {}", kNames[i], colour[i].dump()));
    }
  }
  if (!high.empty()) {
    findings.push_back(Warn(position, kColorRange, kColorKey.name,
                            fmt::format("{} above 1", Joined(high)),
                            "the game takes linear 0-1 values, not 0-255; divide by 255"));
  }
  if (!negative.empty()) {
    findings.push_back(Warn(position, kColorNegative, kColorKey.name,
                            fmt::format("{} below 0", Joined(negative)),
                            "the game takes linear 0-1 values and passes negative ones on"));
  }
  if (invisible) {
    findings.push_back(Warn(position, kColorTransparent, kColorKey.name,
                            fmt::format("A = {}: the message is fully transparent", *invisible),
                            "players cannot see it; A is opacity, use 1 for an opaque message"));
  }
}

// What a reply holds that players never see as written: control characters, and whatever
// follows a U+0000, where the game's string ends.
void CheckReplyText(const std::string& reply, std::size_t position,
                    std::vector<Finding>& findings) {
  const std::size_t nul = reply.find('\0');
  const std::string_view shown = std::string_view(reply).substr(0, nul);
  std::string controls;
  // Line breaks and tabs are layout that chat shows; every other control character is not.
  for (const std::string& escape : ControlEscapes(shown)) {
    if (escape != "\\x0a" && escape != "\\x09") {
      controls += (controls.empty() ? "" : " ") + escape;
    }
  }
  if (!controls.empty()) {
    findings.push_back(
        Warn(position, kReplyControl, kReplyKey.name,
             fmt::format("{} holds control characters: {}", Quoted(Clipped(reply)), controls),
             "chat does not show them and terminals act on them; remove them"));
  }
  if (nul != std::string::npos) {
    findings.push_back(
        Warn(position, kReplyNul, kReplyKey.name,
             fmt::format("the text after U+0000 is never shown: players see {}, "
                         "and {} is lost",
                         Quoted(Clipped(shown)), Quoted(Clipped(reply.substr(nul + 1)))),
             "remove the \\u0000"));
  }
}

void CheckReply(const json& entry, std::size_t position, std::vector<Finding>& findings) {
  const auto found = entry.find(kReplyKey.name);
  if (found == entry.end() || !found->is_string()) {
    return;
  }
  const std::string& reply = found->get_ref<const std::string&>();
  if (reply.find_first_not_of(" \t\r\n\f\v") == std::string::npos) {
    findings.push_back(Warn(position, kReplyBlank, kReplyKey.name,
                            reply.empty() ? "is empty" : fmt::format("is blank: {}", Quoted(reply)),
                            "players see an empty message; write the text they should see"));
    return;
  }
  CheckReplyText(reply, position, findings);
  const BraceScan scan = ScanBraces(reply);
  if (scan.fails) {
    findings.push_back(
        Warn(position, kReplyBraces, kReplyKey.name,
             fmt::format("{} fails formatting: a lone brace starts a replacement field",
                         Quoted(Clipped(reply))),
             BraceHint(scan)));
  } else if (scan.has_doubled) {
    findings.push_back(Warn(position, kReplyDoubledBraces, kReplyKey.name,
                            fmt::format("players see {}", Quoted(scan.shown)),
                            "doubled braces show as one brace"));
  }
}

void CheckDisplay(const json& entry, std::size_t position, std::vector<Finding>& findings) {
  for (const EntryKey* display : kEntryKeys) {
    if (display->kind != EntryValueKind::Number) {
      continue;
    }
    const char* const key = display->name;
    const auto found = entry.find(key);
    if (found != entry.end()) {
      CheckReceived(*found, position, key, "is ", findings);
    }
    if (found != entry.end() && found->is_number() && GameFloatOf(*found) <= 0.0f) {
      findings.push_back(Warn(position, kDisplayNotPositive, key,
                              fmt::format("is {}", found->dump()),
                              "players cannot see such a notification; use a positive number"));
    }
  }
}

// Each way the file can fail to open, in the check's own words and with its own remedy.
struct OpenProblem {
  ConfigFileProblem value;
  const FindingCode* code;
  const char* what;  // empty: the system's own words
  const char* hint;  // empty: where the file belongs
};
constexpr OpenProblem kOpenProblems[] = {
    {ConfigFileProblem::NotFound, &kFileMissing, "not found", ""},
    {ConfigFileProblem::Folder, &kFileFolder, "it is a folder",
     "remove the folder and put the configuration file in its place"},
    {ConfigFileProblem::NotRegularFile, &kFileNotRegular,
     "not a regular file (a FIFO, a device or a socket)",
     "replace it with an ordinary file; the plugin opens nothing else"},
    {ConfigFileProblem::PermissionDenied, &kFilePermissionDenied, "permission denied",
     "let the account the server runs as read the file and the folders above it"},
    {ConfigFileProblem::OtherError, &kFileUnreadable, "",
     "the system could not read the file for the reason given"},
};
static_assert(InEnumOrder(kOpenProblems));

void CheckDocument(const json& document, std::vector<Finding>& findings) {
  std::vector<const json*> entries;
  try {
    entries = ChatCommandElements(document);
  } catch (const json::type_error&) {
    Finding finding = FindingOf(kDocumentKind);
    finding.text = "the file holds " + KindOf(document) + ", not an object";
    finding.hint = "write {\"ChatCommands\": [ ... ]}";
    findings.push_back(std::move(finding));
    return;
  }
  for (const auto& member : document.items()) {  // a null document has none
    if (std::find(kTopKeys.begin(), kTopKeys.end(), member.key()) == kTopKeys.end()) {
      Finding finding = FindingOf(kUnknownKey);
      finding.subject = Clipped(member.key());
      finding.text = "top-level key is never read";
      finding.suggestion = NearestOf(member.key(), {"ChatCommands"});
      finding.hint = finding.suggestion ? "did you mean \"ChatCommands\"?"
                                        : "Quorvane reads only \"ChatCommands\"";
      findings.push_back(std::move(finding));
    }
  }
  if (entries.empty()) {
    const bool missing = !document.is_object() || document.count("ChatCommands") == 0;
    Finding finding = FindingOf(kNoCommands);
    finding.subject = "ChatCommands";
    finding.text = missing ? "is missing" : "holds no entry";
    finding.hint = "no chat command is registered";
    findings.push_back(std::move(finding));
    return;
  }
  if (document["ChatCommands"].is_object()) {
    Finding finding = FindingOf(kCommandsKind);
    finding.subject = "ChatCommands";
    finding.text =
        "is an object: its members are registered and counted as entries in the sorted order of "
        "their keys, not as written, and every use of them fails";
    finding.hint = "write a list: \"ChatCommands\": [ {...}, {...} ]";
    findings.push_back(std::move(finding));
  }
  std::unordered_map<std::string, std::size_t> first_of;
  first_of.reserve(entries.size());
  // Listed after each entry's own findings, as the sort below keeps them.
  std::vector<Finding> duplicates;
  for (std::size_t position = 0; position < entries.size(); ++position) {
    const json& entry = *entries[position];
    const Registration registration = RegistrationOf(entry);
    if (registration.error == 305) {
      findings.push_back(Warn(position, kEntryKind, "entry",
                              "is " + KindOf(entry) + ", not an object",
                              "each entry is {\"Command\": ..., \"Reply\": ..., \"Type\": ...}; "
                              "the plugin will not start"));
      continue;
    }
    const std::string registered =
        registration.command != nullptr ? CommandTextAsRegistered(*registration.command) : "";
    CheckKeys(entry, position, findings);
    CheckCommand(entry, registration, registered, position, findings);
    CheckDuplicate(registered, position, first_of, duplicates);
    CheckType(entry, position, findings);
    CheckReply(entry, position, findings);
    CheckColour(entry, position, findings);
    CheckDisplay(entry, position, findings);
  }
  findings.insert(findings.end(), std::make_move_iterator(duplicates.begin()),
                  std::make_move_iterator(duplicates.end()));
  // Report entry by entry, in file order; findings about the whole file first.
  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
    return a.position.value_or(0) + (a.position ? 1 : 0) <
           b.position.value_or(0) + (b.position ? 1 : 0);
  });
}

}  // namespace

ConfigAnalysis AnalyseConfigText(std::string_view bytes) {
  ConfigAnalysis analysis;
  analysis.opened = true;
  // Offsets count from where the extraction starts, after the byte-order mark it drops.
  const std::string_view text = WithoutByteOrderMark(bytes);
  const LineIndex lines(text);
  ParseNotes notes;
  auto document = std::make_shared<LoadedDocument>();
  try {
    BytesBuffer buffer(bytes);
    std::istream in(&buffer);
    document->json = ParseFirstValue(in, &notes);
  } catch (const std::exception& error) {
    analysis.findings.push_back(ParseFailure(lines, error, notes.failed));
    return analysis;
  }
  CheckRepeatedKeys(notes, lines, analysis.findings);
  if (document->json.is_object() || document->json.is_array()) {
    CheckTrailingText(text, notes, lines, analysis.findings);
  }
  CheckDocument(document->json, analysis.findings);
  analysis.document = std::move(document);
  return analysis;
}

std::shared_ptr<const LoadedDocument> LoadDocument(std::string_view bytes) {
  try {
    BytesBuffer buffer(bytes);
    std::istream in(&buffer);
    return std::make_shared<const LoadedDocument>(LoadedDocument{ParseFirstValue(in)});
  } catch (const std::exception&) {
    return nullptr;  // the plugin refuses the file too; its start or reload says why
  }
}

Finding OpenFailure(const std::filesystem::path& path, const ConfigFileRead& file) {
  const OpenProblem& problem = RowOf(kOpenProblems, *file.problem);
  Finding finding = FindingOf(*problem.code);
  finding.text = fmt::format("cannot open {}: {}", path.generic_string(),
                             *problem.what != '\0' ? std::string(problem.what) : file.detail);
  finding.hint = *problem.hint != '\0' ? std::string(problem.hint)
                                       : fmt::format("create {} under the server folder",
                                                     std::string(kConfigFileInServer));
  return finding;
}

ConfigAnalysis AnalyseConfigFile(const std::filesystem::path& path) {
  const ConfigFileRead file = ReadConfigFile(path);
  if (!file.problem) {
    return AnalyseConfigText(file.content);
  }
  ConfigAnalysis analysis;
  analysis.findings.push_back(OpenFailure(path, file));
  return analysis;
}

std::filesystem::path ConfigPathOf(const std::string& server_dir) {
  return std::filesystem::path(server_dir) / kConfigFileInServer;
}

std::vector<const json*> EntriesOf(const json& document) {
  try {
    return ChatCommandElements(document);
  } catch (const json::type_error&) {
    return {};  // a document of another kind registers nothing: the start fails
  }
}

}  // namespace devhost
