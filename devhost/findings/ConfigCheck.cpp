#include "devhost/findings/ConfigCheck.h"

#include <algorithm>
#include <ios>
#include <istream>
#include <iterator>
#include <stdexcept>
#include <streambuf>

#include "config/ConfigFile.h"
#include "config/FirstValueParser.h"
#include "config/RegistrationCheck.h"
#include "devhost/findings/EntryChecks.h"
#include "devhost/findings/FindingCodes.h"
#include "devhost/findings/LoadedDocument.h"
#include "devhost/locate/LineLocator.h"
#include "devhost/locate/SourceWalker.h"
#include "devhost/locate/SyntaxCause.h"
#include "devhost/rules/EntryRules.h"
#include "devhost/text/Nearest.h"

using quorvane::ChatCommandElements;
using quorvane::ConfigFileProblem;
using quorvane::ConfigFileRead;
using quorvane::OpenConfigFile;
using quorvane::ParseFirstValue;

namespace devhost {
namespace {

using json = nlohmann::json;

// "$schema" lets editors find the schema; the plugin ignores it like any other member.
const std::vector<std::string> kTopKeys = {"ChatCommands", "$schema"};
// The most of the text after the value a finding quotes, in bytes.
constexpr std::size_t kTrailingExcerpt = 80;

// The file's bytes as a stream, read in place.
class BytesBuffer final : public std::streambuf {
 public:
  explicit BytesBuffer(std::string_view bytes) {
    // Only read: a stream that hands back bytes it read never writes them.
    char* const begin = const_cast<char*>(bytes.data());
    setg(begin, begin, begin + bytes.size());
  }
};

Finding ParseFailure(const std::exception& error, const SourceWalker& walk) {
  Finding finding = FindingOf(kParseError);
  finding.With("error", error.what());
  if (!walk.Stop()) {
    return finding;
  }
  const SyntaxDiagnosis diagnosis = DiagnoseSyntax(error.what(), *walk.Stop(), walk.OpenAtStop());
  finding.span = diagnosis.fix;
  finding.syntax = std::make_shared<Finding::Syntax>();
  finding.syntax->to_line_end = diagnosis.fix_to_line_end;
  finding.pointer = diagnosis.pointer;
  finding.syntax->stop = diagnosis.stopped;
  finding.syntax->cause = SyntaxCauseName(diagnosis.cause);
  for (const SyntaxDiagnosis::Bracket& bracket : diagnosis.open_brackets) {
    finding.related.push_back({{bracket.offset, bracket.offset + 1},
                               bracket.object ? "open_object" : "open_array",
                               std::nullopt});
  }
  return finding;
}

void CheckRepeatedKeys(const SourceWalker& walk, std::vector<Finding>& findings) {
  for (const RepeatedKeySource& repeat : walk.Repeats()) {
    Finding finding = FindingOf(kRepeatedKey);
    finding.subject = repeat.key;
    finding.With("ignored", repeat.ignored)
        .With("ignored_kind", repeat.ignored_is_object  ? "object"
                              : repeat.ignored_is_array ? "array"
                                                        : "");
    finding.position = repeat.entry;
    finding.span = repeat.key_span;
    finding.pointer = repeat.pointer;
    findings.push_back(std::move(finding));
  }
}

// The finding for each way the file can fail to open.
struct OpenProblem {
  ConfigFileProblem value;
  const FindingCode* code;
};
constexpr OpenProblem kOpenProblems[] = {
    {ConfigFileProblem::NotFound, &kFileMissing},
    {ConfigFileProblem::Folder, &kFileFolder},
    {ConfigFileProblem::NotRegularFile, &kFileNotRegular},
    {ConfigFileProblem::PermissionDenied, &kFilePermissionDenied},
    {ConfigFileProblem::OtherError, &kFileUnreadable},
};
static_assert(InEnumOrder(kOpenProblems));

void CheckDocument(const json& document, const SourceWalker& walk, std::vector<Finding>& findings) {
  std::vector<const json*> entries;
  try {
    entries = ChatCommandElements(document);
  } catch (const json::type_error&) {
    Finding finding = FindingOf(kDocumentKind);
    finding.With("kind", document.type_name());
    finding.span = walk.Document();
    findings.push_back(std::move(finding));
    return;
  }
  for (const MemberSource& member : walk.TopMembers()) {
    if (walk.TopMember(member.key) != &member ||
        std::find(kTopKeys.begin(), kTopKeys.end(), member.key) != kTopKeys.end()) {
      continue;
    }
    Finding finding = FindingOf(kUnknownKey);
    finding.subject = member.key;
    finding.With("top", "1");
    finding.suggestion = NearestOf(member.key, {"ChatCommands"});
    finding.span = member.key_span;
    finding.pointer = PointerSegment(member.key);
    findings.push_back(std::move(finding));
  }
  const MemberSource* commands = walk.TopMember("ChatCommands");
  if (entries.empty()) {
    Finding finding = FindingOf(kNoCommands);
    finding.subject = "ChatCommands";
    finding.With("missing", commands == nullptr ? "1" : "");
    if (commands != nullptr) {
      finding.span = commands->value;
      finding.pointer = "/ChatCommands";
    } else {
      finding.span = Span{walk.Document().begin, walk.Document().begin + 1};
    }
    findings.push_back(std::move(finding));
    return;
  }
  if (document["ChatCommands"].is_object()) {
    Finding finding = FindingOf(kCommandsKind);
    finding.subject = "ChatCommands";
    if (commands != nullptr) {
      finding.span = commands->value;
    }
    finding.pointer = "/ChatCommands";
    findings.push_back(std::move(finding));
  }
}

// Puts every finding, and every command, at its place in the stored file.
template <typename Locate>
void PlaceAll(ConfigAnalysis& analysis, const std::vector<std::optional<Span>>& commands,
              std::optional<std::size_t> value_end, bool excerpts, const Locate& locate) {
  LineLocator locator;
  std::size_t requests = 0;
  for (const Finding& finding : analysis.findings) {
    requests += (finding.span ? 1 : 0) + (finding.syntax ? 1 : 0) + finding.related.size();
  }
  locator.Reserve(requests + commands.size());
  for (Finding& finding : analysis.findings) {
    if (finding.span) {
      locator.Add(*finding.span, finding.place.emplace(), excerpts,
                  finding.syntax && finding.syntax->to_line_end);
    }
    if (finding.syntax) {
      locator.Add(finding.syntax->stop, finding.syntax->stopped_at.emplace());
    }
    for (Finding::Related& related : finding.related) {
      locator.Add(related.span.begin, related.point.emplace());
    }
  }
  analysis.commands.resize(commands.size());
  for (std::size_t i = 0; i < commands.size(); ++i) {
    if (commands[i]) {
      CommandPlace& place = analysis.commands[i].emplace();
      locator.Add(*commands[i], place.start, place.end);
    }
  }
  SourcePlace trailing;
  if (value_end) {
    locator.AddTextAfter(*value_end, kTrailingExcerpt, trailing);
  }
  if (!locate(locator)) {
    // The file changed or vanished since it was read; the findings stand unplaced.
    for (Finding& finding : analysis.findings) {
      finding.place.reset();
      if (finding.syntax) {
        finding.syntax->stopped_at.reset();
      }
      for (Finding::Related& related : finding.related) {
        related.point.reset();
      }
    }
    analysis.commands.clear();
    return;
  }
  if (trailing.excerpt && trailing.excerpt->mark_end > 0) {
    Finding finding = FindingOf(kTrailingText);
    finding.With("excerpt", trailing.excerpt->text)
        .With("cut", trailing.excerpt->cut_after ? "1" : "");
    finding.pointer = "";
    finding.place = std::move(trailing);
    // Listed with the findings about the whole file, after the keys given twice.
    const auto first_not_repeat =
        std::find_if(analysis.findings.begin(), analysis.findings.end(),
                     [](const Finding& f) { return f.code != kRepeatedKey.code; });
    analysis.findings.insert(first_not_repeat, std::move(finding));
  }
}

// Parses `in` as the plugin does, judging each entry as it completes, then places everything.
template <typename Locate>
ConfigAnalysis Analyse(std::istream& in, bool excerpts, const Locate& locate) {
  ConfigAnalysis analysis;
  analysis.opened = true;
  EntryChecks entries;
  SourceWalker walk(std::ref(entries));
  auto document = std::make_shared<LoadedDocument>();
  std::optional<std::size_t> value_end;
  try {
    document->json = ParseFirstValue(in, &walk);
  } catch (const std::ios_base::failure& error) {
    // A read that fails is no syntax error: the system says why.
    Finding finding = FindingOf(kFileUnreadable);
    finding.With("reason", error.code().message()).With("read", "1");
    analysis.findings.push_back(std::move(finding));
    return analysis;
  } catch (const std::exception& error) {
    analysis.findings.push_back(ParseFailure(error, walk));
    PlaceAll(analysis, {}, std::nullopt, excerpts, locate);
    return analysis;
  }
  // Findings about the whole file first, then entry by entry in file order, each entry's keys
  // given twice before its other findings: both lists are in that order already, so they are
  // merged rather than sorted, and the entries' list is not copied.
  std::vector<Finding> repeats;
  CheckRepeatedKeys(walk, repeats);
  std::vector<Finding> whole_file;
  const auto in_entry = std::stable_partition(repeats.begin(), repeats.end(),
                                              [](const Finding& f) { return !f.position; });
  whole_file.insert(whole_file.end(), std::make_move_iterator(repeats.begin()),
                    std::make_move_iterator(in_entry));
  if (document->json.is_object() || document->json.is_array()) {
    value_end = walk.ValueEndOffset();
  }
  CheckDocument(document->json, walk, whole_file);
  std::vector<Finding> by_entry = std::move(entries.Findings());
  if (in_entry != repeats.end()) {
    std::vector<Finding> merged;
    merged.reserve(by_entry.size() + static_cast<std::size_t>(repeats.end() - in_entry));
    std::merge(std::make_move_iterator(in_entry), std::make_move_iterator(repeats.end()),
               std::make_move_iterator(by_entry.begin()), std::make_move_iterator(by_entry.end()),
               std::back_inserter(merged),
               [](const Finding& a, const Finding& b) { return *a.position < *b.position; });
    by_entry = std::move(merged);
  }
  by_entry.insert(by_entry.begin(), std::make_move_iterator(whole_file.begin()),
                  std::make_move_iterator(whole_file.end()));
  analysis.findings = std::move(by_entry);
  PlaceAll(analysis, entries.Commands(), value_end, excerpts, locate);
  analysis.document = std::move(document);
  return analysis;
}

}  // namespace

ConfigAnalysis AnalyseConfigText(std::string_view bytes, bool excerpts) {
  BytesBuffer buffer(bytes);
  std::istream in(&buffer);
  return Analyse(in, excerpts, [bytes](LineLocator& locator) { return locator.LocateIn(bytes); });
}

Finding OpenFailure(const std::filesystem::path& path, const ConfigFileRead& file) {
  Finding finding = FindingOf(*RowOf(kOpenProblems, *file.problem).code);
  finding.With("path", path.generic_string()).With("reason", file.detail);
  return finding;
}

ConfigAnalysis AnalyseConfigFile(const std::filesystem::path& path, bool excerpts) {
  // Read as the plugin reads it: the same text-mode stream, through the same extraction, and
  // no further than the value; places come from a second, binary read of the stored bytes.
  quorvane::ConfigFileOpen file = OpenConfigFile(path);
  if (!file.problem) {
    file.stream.exceptions(std::ios::badbit);
    return Analyse(file.stream, excerpts,
                   [&path](LineLocator& locator) { return locator.Locate(path); });
  }
  ConfigFileRead read;
  read.problem = file.problem;
  read.detail = std::move(file.detail);
  ConfigAnalysis analysis;
  analysis.findings.push_back(OpenFailure(path, read));
  return analysis;
}

std::filesystem::path ConfigPathOf(const std::string& server_dir) {
  return std::filesystem::path(server_dir) / quorvane::kConfigFileInServer;
}

std::vector<const json*> EntriesOf(const json& document) {
  try {
    return ChatCommandElements(document);
  } catch (const json::type_error&) {
    return {};  // a document of another kind registers nothing: the start fails
  }
}

}  // namespace devhost
