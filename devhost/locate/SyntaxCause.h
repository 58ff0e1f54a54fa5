#pragma once
// Why a parse most likely failed and where to fix it, from where the parser stopped, the
// containers still open and the library's own message. The message stays the library's; this
// adds the likely cause and the place an editor should jump to.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/FirstValueParser.h"
#include "devhost/locate/SourceSpan.h"
#include "devhost/locate/SourceWalker.h"

namespace devhost {

enum class SyntaxCause {
  None,
  MissingComma,
  TrailingComma,
  Comment,
  SingleQuote,
  UnquotedKey,
  Unclosed,
  ControlCharacter,
  ByteOrderMark,
};

struct SyntaxDiagnosis {
  SyntaxCause cause = SyntaxCause::None;
  Span fix;                      // the place to fix; an insertion point for a missing comma
  bool fix_to_line_end = false;  // a "//" comment runs to the end of its line
  std::size_t stopped = 0;       // the last byte the parser read (its parser offset)
  std::string pointer;           // the innermost open container's
  struct Bracket {
    std::size_t offset;
    bool object;  // '{' rather than '['
  };
  std::vector<Bracket> open_brackets;  // Unclosed: each open bracket, outermost first
};

// `message` is the library's error text; `stop` and `open` are the walk's at the failure.
SyntaxDiagnosis DiagnoseSyntax(std::string_view message, const quorvane::ParseStop& stop,
                               const std::vector<OpenContainer>& open);

// The stable name programs see: "missing_comma", ...; empty for None.
const char* SyntaxCauseName(SyntaxCause cause);

}  // namespace devhost
