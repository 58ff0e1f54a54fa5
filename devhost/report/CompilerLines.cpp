#include "devhost/report/CompilerLines.h"

#include <fmt/format.h>

#include "devhost/catalogue/FindingWords.h"
#include "devhost/present/Printable.h"
#include "devhost/present/ReportText.h"
#include "devhost/present/Tone.h"
#include "devhost/text/DisplayWidth.h"
#include "devhost/text/Text.h"

namespace devhost {

namespace {

constexpr std::size_t kTabStop = 4;

// The excerpt as the terminal shows it, and the cells before and within the mark.
struct ShownLine {
  std::string text;
  std::size_t caret = 0;
  std::size_t underline = 0;
};

ShownLine Shown(const SourceExcerpt& excerpt) {
  ShownLine shown;
  std::size_t cells = 0;
  if (excerpt.cut_before) {
    shown.text = "...";
    cells = 3;
  }
  const std::string_view text = excerpt.text;
  std::size_t mark_cells_begin = cells;
  bool marked = false;
  for (std::size_t i = 0; i <= text.size();) {
    if (!marked && i >= excerpt.mark_begin) {
      mark_cells_begin = cells;
      marked = true;
    }
    if (i >= excerpt.mark_end && shown.underline == 0 && marked) {
      shown.underline = cells - mark_cells_begin;
    }
    if (i == text.size()) {
      break;
    }
    const auto [c, length] = CodePointAt(text, i);
    if (length == 0) {
      const std::string escape = fmt::format("\\x{:02x}", static_cast<unsigned char>(text[i]));
      shown.text += escape;
      cells += escape.size();
      ++i;
      continue;
    }
    if (c == '\t') {
      const std::size_t spaces = kTabStop - cells % kTabStop;
      shown.text.append(spaces, ' ');
      cells += spaces;
    } else if (IsControlCharacter(c)) {
      const std::string escape = Printable(text.substr(i, length));
      shown.text += escape;
      cells += escape.size();
    } else {
      shown.text.append(text.substr(i, length));
      cells += static_cast<std::size_t>(DisplayWidth(c));
    }
    i += length;
  }
  if (excerpt.cut_after) {
    shown.text += "...";
  }
  shown.caret = mark_cells_begin;
  return shown;
}

struct SeverityTone {
  Finding::Severity value;
  Tone tone;
};
constexpr SeverityTone kTones[] = {
    {Finding::Severity::Error, Tone::Red},
    {Finding::Severity::Warning, Tone::Yellow},
    {Finding::Severity::Note, Tone::Bold},
};
static_assert(InEnumOrder(kTones));

std::string Point(const SourcePoint& point) {
  return fmt::format("{}:{}", point.line, point.column);
}

}  // namespace

void AppendCompilerFinding(std::string& out, const std::string& file, const Finding& finding,
                           bool colour) {
  // Values from the file are cut short here, and everything is escaped for the terminal.
  const FindingWords words =
      WordsOf(finding, [](std::string_view value) { return Quoted(Clipped(value)); });
  const std::string message =
      finding.subject.empty() ? Printable(words.text)
                              : Printable(Clipped(finding.subject)) + ": " + Printable(words.text);
  out += Toned(Printable(file) + (finding.place ? ":" + Point(finding.place->start) : "") + ":",
               Tone::Bold, colour);
  out += " ";
  out += Toned(std::string(SeverityWord(finding.severity)) + ":",
               RowOf(kTones, finding.severity).tone, colour);
  out += " " + message + " [" + finding.code + "]\n";
  if (finding.place && finding.place->excerpt && !finding.place->excerpt->text.empty()) {
    const ShownLine shown = Shown(*finding.place->excerpt);
    const std::string number = std::to_string(finding.place->start.line);
    const std::string gutter(number.size(), ' ');
    out += "  " + number + " | " + shown.text + "\n";
    out += "  " + gutter + " | " + std::string(shown.caret, ' ') +
           Toned("^" + std::string(shown.underline > 1 ? shown.underline - 1 : 0, '~'), Tone::Green,
                 colour) +
           "\n";
  }
  if (!words.hint.empty()) {
    out += "  " + Toned("hint:", Tone::Bold, colour) + " " + Printable(words.hint) + "\n";
  }
  const std::optional<SourcePoint> stopped =
      finding.syntax ? finding.syntax->stopped_at : std::nullopt;
  if (stopped && finding.place && stopped->offset != finding.place->start.offset) {
    out += "  " + Printable(file) + ":" + Point(*stopped) + ": note: the parser stopped here\n";
  }
  for (const Finding::Related& related : finding.related) {
    if (related.point) {
      out += "  " + Printable(file) + ":" + Point(*related.point) +
             ": note: " + RelatedWords(related.role) + "\n";
    }
  }
}

}  // namespace devhost
