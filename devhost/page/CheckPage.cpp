#include "devhost/page/CheckPage.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <fmt/format.h>

#include "devhost/catalogue/FindingWords.h"
#include "devhost/present/DisplayColour.h"
#include "devhost/present/MessageText.h"
#include "devhost/present/Output.h"
#include "devhost/present/ReportText.h"
#include "devhost/report/ResultLooks.h"
#include "devhost/text/Text.h"

namespace devhost {
namespace {

// The game's screen is dark; chat text sits on it without a box, notifications in a box. The
// sizes are larger than the game's so the colours are easy to judge on a desktop screen.
constexpr const char* kStyle = R"(
:root { color-scheme: dark; }
body { margin: 0; padding: 24px 32px; background: #1c2027; color: #d5dae1;
  font: 15px/1.45 "Segoe UI", "DejaVu Sans", "Helvetica Neue", Arial, sans-serif; }
h1 { font-size: 22px; margin: 0 0 4px; }
h2 { font-size: 17px; margin: 0 0 8px; }
code { font-family: Consolas, "DejaVu Sans Mono", monospace; color: #f0f3f6; }
.status { margin: 0 0 20px; }
.clean { color: #7fd28b; }
.problems { color: #f2c46d; }
.stopped { color: #ff8a80; }
.entry, .file { display: grid; grid-template-columns: minmax(0, 3fr) minmax(0, 2fr); gap: 20px;
  margin: 0 0 20px; padding: 14px 16px; background: #262b33; border-radius: 6px; }
.file { display: block; }
.head { margin: 0 0 8px; }
.position { color: #9aa4b1; margin-right: 8px; }
.outcome { margin-left: 8px; font-weight: 600; }
.sent { color: #7fd28b; }
.nothing_sent { color: #f2c46d; }
.failed, .unreachable, .not_registered { color: #ff8a80; }
.screen { background: #0b0f14; border-radius: 4px; padding: 14px 18px; min-height: 32px; }
.chat { margin: 0; font-size: 22px; white-space: pre-wrap; overflow-wrap: anywhere; }
.chat.bold { font-weight: 700; }
.chat.client { color: #e8e8e8; }
.sender { color: #9fc7ff; }
.notify { display: flex; align-items: center; gap: 16px; }
.notice { padding: 6px 16px; background: rgba(0, 0, 0, 0.6); border: 1px solid #3a4350;
  border-radius: 4px; font-size: calc(20px * var(--scale)); white-space: pre-wrap;
  overflow-wrap: anywhere; max-width: 100%; overflow: hidden; }
.time { color: #9aa4b1; white-space: nowrap; }
.none { margin: 0; color: #7d8794; font-style: italic; }
.what { margin: 6px 0 0; color: #9aa4b1; font-size: 13px; }
ul { margin: 0; padding: 0; list-style: none; }
li { margin: 0 0 8px; }
.severity { font-weight: 600; margin-right: 6px; }
.warning .severity { color: #f2c46d; }
.error .severity { color: #ff8a80; }
.note .severity { color: #9fc7ff; }
.hint { display: block; font-weight: 600; }
.quiet { color: #7d8794; }
)";

// Not fmt::print, which throws when a write fails: a failed page is reported once, at its end.
template <typename... Args>
void Print(std::FILE* out, fmt::format_string<Args...> format, Args&&... args) {
  PutText(out, fmt::format(format, std::forward<Args>(args)...));
}

// Everything from the file or the plugin goes through here: a reply like "<script>" is text.
std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Escaped(std::u16string_view text) {
  return Escaped(Utf16ToUtf8(text));
}

// CSS wants finite numbers; NaN counts as 0 as in the colour conversion.
float Clamped(float value, float high) {
  return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, high);
}

std::string CssColour(const FLinearRgba& colour) {
  const Rgb8 rgb = DisplayColour(colour);
  return fmt::format("rgba({}, {}, {}, {})", rgb.r, rgb.g, rgb.b, FloatText(Clamped(colour.A, 1)));
}

std::string LinearText(const FLinearRgba& colour) {
  return fmt::format("[{}, {}, {}, {}]", FloatText(colour.R), FloatText(colour.G),
                     FloatText(colour.B), FloatText(colour.A));
}

std::string ColourCaption(const FLinearRgba& colour) {
  const Rgb8 rgb = DisplayColour(colour);
  std::string caption =
      fmt::format("colour {} = #{:02x}{:02x}{:02x}", LinearText(colour), rgb.r, rgb.g, rgb.b);
  if (ColourClamped(colour)) {
    caption += ", shown clamped to 0-1";
  }
  return caption;
}

// Beyond this the box would not fit the page; the caption gives the real scale.
constexpr float kLargestShownScale = 6.0f;

// What the player sees, on the game's screen.
void WriteMessage(std::FILE* out, const ScreenMessage& message) {
  switch (message.kind) {
    case ScreenMessage::Kind::ServerChat:
      Print(out, "<p class=\"chat{}\" style=\"color: {}\">{}</p>\n", message.bold ? " bold" : "",
            CssColour(message.colour), Escaped(message.text));
      break;
    case ScreenMessage::Kind::ClientChat:
      Print(out, "<p class=\"chat client\"><span class=\"sender\">{}:</span> {}</p>\n",
            Escaped(message.sender), Escaped(message.text));
      break;
    case ScreenMessage::Kind::Notification:
      Print(out,
            "<div class=\"notify\"><div class=\"notice\" style=\"color: {}; --scale: {}\">{}"
            "</div><span class=\"time\">shown for {} s</span></div>\n",
            CssColour(message.colour), FloatText(Clamped(message.scale, kLargestShownScale)),
            Escaped(message.text), Escaped(FloatText(message.time)));
      break;
  }
}

// The values behind it, under the screen.
void WriteCaption(std::FILE* out, const ScreenMessage& message) {
  switch (message.kind) {
    case ScreenMessage::Kind::ServerChat:
      Print(out, "<p class=\"what\">ServerChat{}, {}</p>\n", message.bold ? " bold" : "",
            Escaped(ColourCaption(message.colour)));
      break;
    case ScreenMessage::Kind::ClientChat:
      Print(out, "<p class=\"what\">ClientChat from {}</p>\n", Escaped(message.sender));
      break;
    case ScreenMessage::Kind::Notification:
      Print(out, "<p class=\"what\">Notification, {}, scale {}, time {} s</p>\n",
            Escaped(ColourCaption(message.colour)), Escaped(FloatText(message.scale)),
            Escaped(FloatText(message.time)));
      break;
  }
}

std::string PageQuote(std::string_view value) {
  return Quoted(Clipped(value));
}

std::string FileWhere(const Finding& finding) {
  return finding.place ? fmt::format("line {}, column {}", finding.place->start.line,
                                     finding.place->start.column)
                       : std::string();
}

void WriteFinding(std::FILE* out, const Finding& finding, const std::string& where) {
  Print(out, "<li class=\"{0}\"><span class=\"severity\">{0}</span>",
        SeverityWord(finding.severity));
  if (!where.empty()) {
    Print(out, "<span class=\"quiet\">{}</span> ", Escaped(where));
  }
  if (!finding.subject.empty()) {
    Print(out, "<code>{}</code> ", Escaped(Clipped(finding.subject)));
  }
  const FindingWords words =
      WordsOf(finding, [](std::string_view value) { return Quoted(Clipped(value)); });
  Print(out, "{}", Escaped(words.text));
  if (!words.hint.empty()) {
    Print(out, "<span class=\"hint\">Hint: {}</span>", Escaped(words.hint));
  }
  PutText(out, "</li>\n");
}

void WriteEntry(std::FILE* out, std::size_t position, const ProbeResult* probe,
                const std::vector<const Finding*>& findings) {
  Print(out, "<section class=\"entry\" id=\"entry-{}\">\n<div>\n", position);
  Print(out, "<p class=\"head\"><span class=\"position\">entry {}</span>", position);
  if (probe == nullptr) {
    PutText(out, "<span class=\"outcome not_registered\">not registered</span></p>\n");
    PutText(out, "<div class=\"screen\"><p class=\"none\">No chat command.</p></div>\n");
  } else {
    const char* outcome = OutcomeWord(probe->outcome);
    Print(out, "<code>{}</code><span class=\"outcome {}\">{}</span>", Escaped(probe->command),
          outcome, probe->outcome == ProbeResult::Outcome::NothingSent ? "sends nothing" : outcome);
    if (probe->command_place) {
      Print(out, "<span class=\"quiet\">line {}</span>", probe->command_place->start.line);
    }
    PutText(out, "</p>\n");
    PutText(out, "<div class=\"screen\">\n");
    if (probe->messages.empty()) {
      PutText(out, "<p class=\"none\">Nothing appears.</p>\n");
    }
    for (const ScreenMessage& message : probe->messages) {
      WriteMessage(out, message);
    }
    PutText(out, "</div>\n");
    for (const ScreenMessage& message : probe->messages) {
      WriteCaption(out, message);
    }
  }
  PutText(out, "</div>\n<ul>\n");
  if (probe != nullptr && probe->outcome != ProbeResult::Outcome::Sent) {
    const bool warning = probe->outcome == ProbeResult::Outcome::NothingSent;
    Print(out, "<li class=\"{}\"><span class=\"severity\">{}</span>{}",
          SeverityWord(warning ? Finding::Severity::Warning : Finding::Severity::Error),
          RowOf(kOutcomeLooks, probe->outcome).problem, Escaped(OutcomeDetail(*probe, PageQuote)));
    if (const std::string hint = FailureHint(*probe, PageQuote); !hint.empty()) {
      Print(out, "<span class=\"hint\">Hint: {}</span>", Escaped(hint));
    }
    PutText(out, "</li>\n");
  }
  for (const Finding* finding : findings) {
    WriteFinding(out, *finding, FileWhere(*finding));
  }
  if (findings.empty() && (probe == nullptr || probe->outcome == ProbeResult::Outcome::Sent)) {
    PutText(out, "<li class=\"quiet\">No findings.</li>\n");
  }
  PutText(out, "</ul>\n</section>\n");
}

}  // namespace

void WriteCheckPage(std::FILE* out, const CheckReport& report) {
  PutText(out, "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n");
  Print(out, "<title>Quorvane commands: {}</title>\n", Escaped(report.config_path));
  Print(out, "<style>{}</style>\n</head>\n<body>\n", kStyle);
  PutText(out, "<h1>Quorvane commands as players see them</h1>\n");
  Print(out, "<p>Checked <code>{}</code></p>\n", Escaped(report.config_path));
  const int status = CheckExitStatus(report);
  Print(out, "<p class=\"counts\">{}</p>\n", Escaped(CheckSummary(report)));
  if (!report.start.ok) {
    // The error is usually a finding about the file as well; it is then shown once, there.
    const bool explained = std::any_of(
        report.findings.begin(), report.findings.end(),
        [&](const Finding& finding) { return finding.Value("error") == report.start.error; });
    Print(out, "<p class=\"status stopped\">The plugin did not start{}</p>\n",
          explained ? "; see the error below." : ": " + Escaped(report.start.error));
  } else {
    Print(out, "<p class=\"status {}\">The plugin started with {} chat command{}; {}.</p>\n",
          status == kExitOk ? "clean" : "problems", report.probes.size(),
          report.probes.size() == 1 ? "" : "s",
          status == kExitOk ? "every one sends a message and nothing needs attention"
                            : "some need attention, see below");
  }

  // Findings about the file as a whole first, then each entry with its own.
  std::map<std::size_t, std::vector<const Finding*>> by_position;
  bool file_findings = false;
  for (const Finding& finding : report.findings) {
    if (finding.position) {
      by_position[*finding.position].push_back(&finding);
    } else {
      file_findings = true;
    }
  }
  if (file_findings) {
    PutText(out, "<section class=\"file\">\n<h2>The file</h2>\n<ul>\n");
    for (const Finding& finding : report.findings) {
      if (!finding.position) {
        WriteFinding(out, finding, FileWhere(finding));
      }
    }
    PutText(out, "</ul>\n</section>\n");
  }

  std::set<std::size_t> positions;
  std::map<std::size_t, const ProbeResult*> probes;
  for (const ProbeResult& probe : report.probes) {
    positions.insert(probe.position);
    probes.emplace(probe.position, &probe);
  }
  for (const auto& [position, findings] : by_position) {
    positions.insert(position);
  }
  static const std::vector<const Finding*> kNone;
  for (const std::size_t position : positions) {
    const auto probe = probes.find(position);
    const auto findings = by_position.find(position);
    WriteEntry(out, position, probe == probes.end() ? nullptr : probe->second,
               findings == by_position.end() ? kNone : findings->second);
  }
  PutText(out, "</body>\n</html>\n");
}

}  // namespace devhost
