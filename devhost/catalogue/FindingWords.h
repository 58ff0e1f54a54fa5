#pragma once
// Every sentence the check says about a finding, in one place: what a code means, and for one
// finding its text and its hint, from the finding's code and values. The writers choose how a
// value from the file is quoted (whole, or cut short for a terminal) and lay the words out.

#include <functional>
#include <string>
#include <string_view>

#include "devhost/findings/Finding.h"
#include "devhost/rules/FailingRead.h"
#include "devhost/rules/ProbeReason.h"
#include "devhost/rules/Typable.h"

namespace devhost {

// How a writer shows a value from the file inside a sentence, quotes included.
using Quote = std::function<std::string(std::string_view)>;

struct FindingWords {
  std::string text;  // what is wrong
  std::string hint;  // what to do about it; may be empty
};
FindingWords WordsOf(const Finding& finding, const Quote& quote);

// What a code means, for the README and --help; empty for an unknown code.
std::string_view MeaningOf(std::string_view code);

// Each severity's plural, for summaries: "errors".
const char* SeverityPlural(Finding::Severity severity);

// A JSON kind ("object") with its article: "an object".
std::string KindWithArticle(std::string_view kind);

// Why no typed line reaches a command.
std::string UntypableWords(Untypable untypable);
// Why using an entry fails, from its first failing read.
std::string FailingReadWords(const FailingRead& failing);
// What to write instead of a reply that fails formatting; `escaped` is the reply with every
// brace doubled, when that shows it as written, else empty.
std::string BraceHintWords(std::string_view escaped, const Quote& quote);
// Why a use sent nothing, when its Type names no reply type.
std::string UnknownTypeWords(std::string_view type, const Quote& quote);
// Why a probed command sent nothing, was not reached, or fails; empty for no reason.
std::string ReasonWords(const ProbeReason& reason, const Quote& quote);

// A note's words for a place a finding names ("first_registration", "open_object", ...).
std::string RelatedWords(std::string_view role);

}  // namespace devhost
