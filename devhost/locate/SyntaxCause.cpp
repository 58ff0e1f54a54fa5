#include "devhost/locate/SyntaxCause.h"

#include <algorithm>

#include "devhost/text/EnumTable.h"

namespace devhost {

namespace {

struct CauseRow {
  SyntaxCause value;
  const char* name;
};
constexpr CauseRow kCauses[] = {
    {SyntaxCause::None, ""},
    {SyntaxCause::MissingComma, "missing_comma"},
    {SyntaxCause::TrailingComma, "trailing_comma"},
    {SyntaxCause::Comment, "comment"},
    {SyntaxCause::SingleQuote, "single_quote"},
    {SyntaxCause::UnquotedKey, "unquoted_key"},
    {SyntaxCause::Unclosed, "unclosed"},
    {SyntaxCause::ControlCharacter, "control_character"},
    {SyntaxCause::ByteOrderMark, "byte_order_mark"},
};
static_assert(InEnumOrder(kCauses));

bool Has(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The byte the lexer refused: the last of what the message quotes as read.
char Refused(std::string_view message) {
  const std::string_view marker = "; last read: '";
  const std::size_t at = message.find(marker);
  if (at == std::string_view::npos) {
    return '\0';
  }
  std::string_view read = message.substr(at + marker.size());
  const std::size_t expected = read.rfind("'; expected");
  read = read.substr(0, expected != std::string_view::npos ? expected : read.size() - 1);
  return read.empty() ? '\0' : read.back();
}

// A token that can only start a value: the parser wanted a separator or a closing bracket.
bool StartsValue(std::string_view message) {
  for (const std::string_view token :
       {"unexpected string literal", "unexpected number literal", "unexpected '{'",
        "unexpected '['", "unexpected true literal", "unexpected false literal",
        "unexpected null literal"}) {
    if (Has(message, token)) {
      return true;
    }
  }
  return false;
}

}  // namespace

const char* SyntaxCauseName(SyntaxCause cause) {
  return RowOf(kCauses, cause).name;
}

SyntaxDiagnosis DiagnoseSyntax(std::string_view message, const quorvane::ParseStop& stop,
                               const std::vector<OpenContainer>& open) {
  SyntaxDiagnosis diagnosis;
  diagnosis.stopped = stop.at > 0 ? stop.at - 1 : 0;
  diagnosis.pointer = open.empty() ? std::string() : open.back().pointer;
  // By default the place to fix is the token the parser refused.
  const std::size_t token = stop.next.value_or(diagnosis.stopped);
  diagnosis.fix = {token, std::max(token + 1, std::min(stop.at, token + 80))};
  const char refused = Refused(message);
  const OpenContainer* inner = open.empty() ? nullptr : &open.back();

  if (Has(message, "control character must be escaped")) {
    diagnosis.cause = SyntaxCause::ControlCharacter;
    diagnosis.fix = {diagnosis.stopped, diagnosis.stopped + 1};
  } else if (refused == '\xEF' && inner == nullptr) {
    diagnosis.cause = SyntaxCause::ByteOrderMark;
    diagnosis.fix = {token, token + 1};
  } else if (refused == '/') {
    diagnosis.cause = SyntaxCause::Comment;
    diagnosis.fix = {token, token + 1};
    diagnosis.fix_to_line_end = true;
  } else if (refused == '\'') {
    diagnosis.cause = SyntaxCause::SingleQuote;
    diagnosis.fix = {token, token + 1};
  } else if (inner != nullptr && inner->expects_key && !Has(message, "unexpected '}'") &&
             !Has(message, "unexpected string literal") && !Has(message, "end of input")) {
    diagnosis.cause = SyntaxCause::UnquotedKey;
  } else if (inner != nullptr && stop.separator &&
             (Has(message, "unexpected '}'") || Has(message, "unexpected ']'")) &&
             !(inner->object && !inner->expects_key && !inner->after_value &&
               Has(message, "expected '[', '{', or a literal"))) {
    diagnosis.cause = SyntaxCause::TrailingComma;
    diagnosis.fix = {*stop.separator, *stop.separator + 1};
  } else if (inner != nullptr && inner->after_value && StartsValue(message)) {
    diagnosis.cause = SyntaxCause::MissingComma;
    diagnosis.fix = {stop.accepted, stop.accepted};
  } else if (!open.empty() && Has(message, "unexpected end of input")) {
    diagnosis.cause = SyntaxCause::Unclosed;
    diagnosis.fix = {inner->bracket, inner->bracket + 1};
    for (const OpenContainer& container : open) {
      diagnosis.open_brackets.push_back({container.bracket, container.object});
    }
  }
  return diagnosis;
}

}  // namespace devhost
