// The words for why a probed command sent nothing, was not reached or fails, and for the
// entry rules they draw on.
#include "devhost/catalogue/FindingWords.h"

#include <fmt/format.h>

#include "config/EntryKeys.h"
#include "config/ReplyTypes.h"

namespace devhost {

std::string UntypableWords(Untypable untypable) {
  switch (untypable) {
    case Untypable::Empty:
      return "it is empty";
    case Untypable::Blank:
      return "the host matches the first word of a typed line, and a blank or tab ends it";
    case Untypable::Control:
      return "players cannot type a line break or another control character";
    case Untypable::No:
      break;
  }
  return {};
}

std::string FailingReadWords(const FailingRead& failing) {
  if (failing.problem == FailingRead::Problem::NotAnObject) {
    return fmt::format("the entry is {}, not an object", KindWithArticle(failing.kind));
  }
  const quorvane::EntryKey& key = *failing.key;
  const bool colour = key.kind == quorvane::EntryValueKind::Colour;
  switch (failing.problem) {
    case FailingRead::Problem::Missing:
      return colour ? fmt::format("\"{}\" is missing (needed for {}: an array of four numbers)",
                                  key.name, failing.type)
                    : fmt::format("\"{}\" is missing", key.name);
    case FailingRead::Problem::WrongKind:
      return colour
                 ? fmt::format("\"{}\" is {} (needed for {}: an array of four numbers)", key.name,
                               KindWithArticle(failing.kind), failing.type)
                 : fmt::format("\"{}\" is {}, not a {}", key.name, KindWithArticle(failing.kind),
                               key.kind == quorvane::EntryValueKind::String ? "string" : "number");
    case FailingRead::Problem::TooFewElements:
      return fmt::format("\"{}\" has {} elements; it needs four: R, G, B, A", key.name,
                         failing.element);
    case FailingRead::Problem::ElementKind:
      return fmt::format("\"{}\" element {} is {}, not a number", key.name, failing.element,
                         KindWithArticle(failing.kind));
    case FailingRead::Problem::NotAnObject:
      break;
  }
  return {};
}

std::string BraceHintWords(std::string_view escaped, const Quote& quote) {
  return escaped.empty() ? std::string("write each literal brace doubled")
                         : "write literal braces doubled: " + quote(escaped);
}

std::string UnknownTypeWords(std::string_view type, const Quote& quote) {
  return fmt::format("Type {} is none of {}", quote(type), quorvane::ReplyTypeList());
}

std::string ReasonWords(const ProbeReason& reason, const Quote& quote) {
  switch (reason.why) {
    case ProbeReason::Why::Untypable:
      return "no typed line reaches it: " + UntypableWords(reason.untypable);
    case ProbeReason::Why::Unmatched:
      return fmt::format("a typed {} matches no command", quote(reason.value));
    case ProbeReason::Why::ReachesOther:
      return fmt::format("a typed {} reaches {}", quote(reason.value), quote(reason.other));
    case ProbeReason::Why::Shadowed:
      return fmt::format("an earlier registration answers every typed {}", quote(reason.value));
    case ProbeReason::Why::SentNothing:
      return "the plugin sent nothing";
    case ProbeReason::Why::UnknownType:
      return UnknownTypeWords(reason.value, quote);
    case ProbeReason::Why::CommandsObject:
      return "\"ChatCommands\" is an object; write a list: \"ChatCommands\": [ {...}, {...} ]";
    case ProbeReason::Why::FailingRead:
      return reason.read ? FailingReadWords(*reason.read) : std::string();
    case ProbeReason::Why::Braces:
      return BraceHintWords(reason.value, quote);
    case ProbeReason::Why::None:
      break;
  }
  return {};
}

}  // namespace devhost
