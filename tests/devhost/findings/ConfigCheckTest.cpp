// The configuration findings of "devhost --check": one group per kind of mistake.

#include "devhost/catalogue/FindingWords.h"
#include "devhost/findings/ConfigCheck.h"
#include "devhost/rules/EntryRules.h"

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "commands/ReplyCallback.h"
#include "config/ConfigDocument.h"
#include "config/EntryKeys.h"
#include "config/GameFloat.h"
#include "config/ReplyTypes.h"
#include "devhost/present/ReportText.h"
#include "devhost/probe/ProbeExplanation.h"
#include "devhost/session/EventWriter.h"
#include "devhost/text/Nearest.h"
#include "tests/support/PluginTest.h"

using quorvane::ConfigDocument;
using quorvane::EntryKey;
using quorvane::EntryValueKind;
using quorvane::kReplyTypes;
using quorvane::kTypeKey;
using quorvane::kUseReadOrder;
using quorvane::NeededFor;
using quorvane::ReplyCallback;
using quorvane::ToGameFloat;

namespace {

using devhost::AnalyseConfigText;
using devhost::Finding;

// A finding's words as programs get them: every value whole.
std::string Text(const Finding& finding) {
  return devhost::WordsOf(finding, [](std::string_view v) { return devhost::Quoted(v); }).text;
}
std::string Hint(const Finding& finding) {
  return devhost::WordsOf(finding, [](std::string_view v) { return devhost::Quoted(v); }).hint;
}

std::vector<Finding> FindingsOf(const std::string& text) {
  return AnalyseConfigText(text).findings;
}

// The findings for a file whose only entry is `entry` (a JSON object's members).
std::vector<Finding> EntryFindings(const std::string& members) {
  return FindingsOf(R"({"ChatCommands":[{)" + members + "}]}");
}

std::vector<std::string> Codes(const std::vector<Finding>& findings) {
  std::vector<std::string> codes;
  for (const Finding& finding : findings) {
    codes.push_back(finding.code);
  }
  return codes;
}

const Finding* Find(const std::vector<Finding>& findings, const std::string& code) {
  const auto found = std::find_if(findings.begin(), findings.end(),
                                  [&](const Finding& finding) { return finding.code == code; });
  return found == findings.end() ? nullptr : &*found;
}

constexpr const char* kClientChat = R"("Command":"/help","Type":"ClientChat","Reply":"Hi")";

TEST(ConfigCheckTest, ExampleConfigurationHasNoFindings) {
  EXPECT_EQ(Codes(FindingsOf(R"({"ChatCommands":[
    {"Command":"/rules","Type":"ServerChat","Reply":"No building.","Color":[1,0.5,0,1]},
    {"Command":"/help","Type":"ClientChat","Reply":"Commands: /rules"},
    {"Command":"/wipe","Type":"Notification","Reply":"Friday","Color":[1,1,1,1],
     "DisplayScale":1.5,"DisplayTime":10}]})")),
            std::vector<std::string>{});
}

// Where a finding stands, as editors count: lines end at LF, CRLF or a lone CR; columns count
// code points from 1, a tab as one, and not the byte-order mark; offsets count stored bytes.
TEST(ConfigCheckTest, PlacesCountLinesAndCodePointsInTheStoredFile) {
  struct Case {
    std::string text;
    std::size_t offset, line, column, end_column;
  };
  const std::string entry = R"({"Command":"/a","Type":"ClientChat","Reply":"x",)";
  const Case cases[] = {
      {"{\"ChatCommands\": [\n  " + entry + "\"Colour\": 1}]}", 69, 2, 51, 59},
      {"{\"ChatCommands\": [\r\n  " + entry + "\"Colour\": 1}]}", 70, 2, 51, 59},
      {"\xEF\xBB\xBF{\"ChatCommands\": [\r\n  " + entry + "\"Colour\": 1}]}", 73, 2, 51, 59},
      {"{\"ChatCommands\": [\r  " + entry + "\"Colour\": 1}]}", 69, 2, 51, 59},
      {"{\"ChatCommands\": [\n\t" + entry + "\"Colour\": 1}]}", 68, 2, 50, 58},
      {"{\"ChatCommands\": [\n  {\"Reply\":\"\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\",\"Colour\": 1,"
       "\"Command\":\"/a\",\"Type\":\"ClientChat\"}]}",
       42, 2, 18, 26},
  };
  for (const Case& c : cases) {
    const auto findings = FindingsOf(c.text);
    const Finding* key = Find(findings, "unknown_key");
    ASSERT_NE(key, nullptr) << c.text;
    ASSERT_TRUE(key->place.has_value()) << c.text;
    EXPECT_EQ(key->place->start.offset, c.offset) << c.text;
    EXPECT_EQ(key->place->start.line, c.line) << c.text;
    EXPECT_EQ(key->place->start.column, c.column) << c.text;
    EXPECT_EQ(key->place->end.column, c.end_column) << c.text;
    EXPECT_EQ(key->pointer, "/ChatCommands/0/Colour") << c.text;
  }
  // The narrowest place: each colour element on its own; a missing key at the entry's brace.
  const auto colour = EntryFindings(R"("Command":"/a","Type":"ServerChat","Reply":"x",)"
                                    R"("Color":[1, 255, -1, 1])");
  ASSERT_EQ(Codes(colour), (std::vector<std::string>{"color_range", "color_negative"}));
  EXPECT_EQ(colour[0].pointer, "/ChatCommands/0/Color/1");
  EXPECT_EQ(colour[0].place->start.column, 78u);
  EXPECT_EQ(colour[0].place->end.column, 81u);
  EXPECT_EQ(colour[1].pointer, "/ChatCommands/0/Color/2");
  const auto missing = FindingsOf("{\"ChatCommands\":[\n {\"Reply\":\"x\"}]}");
  ASSERT_EQ(Codes(missing), std::vector<std::string>{"command_kind"});
  EXPECT_EQ(missing[0].pointer, "/ChatCommands/0");
  EXPECT_EQ(std::make_pair(missing[0].place->start.line, missing[0].place->start.column),
            std::make_pair(std::size_t{2}, std::size_t{2}));
}

// A syntax error keeps the library's message, names its likely cause and stands where the fix
// goes; where the parser stopped is given beside it.
TEST(ConfigCheckTest, SyntaxErrorsNameTheirCauseAtThePlaceToFix) {
  struct Case {
    std::string text;
    std::string cause;
    std::size_t line, column, end_column;
    std::string pointer;
  };
  const Case cases[] = {
      {"{\"ChatCommands\": [\n  {\"Command\": \"/a\"}\n  {\"Command\": \"/b\"}]}", "missing_comma",
       2, 20, 20, "/ChatCommands"},
      {"{\"ChatCommands\": [\n  {\"Command\": \"/a\",}\n]}", "trailing_comma", 2, 19, 20,
       "/ChatCommands/0"},
      {"{\"ChatCommands\": [1, 2,]}", "trailing_comma", 1, 23, 24, "/ChatCommands"},
      {"{\"ChatCommands\": [ // none yet\n]}", "comment", 1, 20, 31, "/ChatCommands"},
      {"{'ChatCommands': []}", "single_quote", 1, 2, 3, ""},
      {"{ChatCommands: []}", "unquoted_key", 1, 2, 3, ""},
      {"{\"ChatCommands\": [\n  {\"Command\": \"/a\"\n", "unclosed", 2, 3, 4, "/ChatCommands/0"},
      {"{\"a\": \"x\ty\"}", "control_character", 1, 9, 10, ""},
      {"\xEF\xBB\xBF\xEF\xBB\xBF{}", "byte_order_mark", 1, 1, 2, ""},
      {"{\"ChatCommands\": [],\n \"x\": 1e999}", "", 2, 7, 8, ""},
      {std::string(600, '['), "", 1, 513, 514, std::string(511, '/').replace(0, 511, "")},
  };
  for (const Case& c : cases) {
    const auto findings = FindingsOf(c.text);
    ASSERT_EQ(Codes(findings), std::vector<std::string>{"parse_error"}) << c.text;
    const Finding& error = findings[0];
    EXPECT_EQ(error.severity, Finding::Severity::Error);
    ASSERT_TRUE(error.syntax) << c.text;
    EXPECT_EQ(error.syntax->cause, c.cause) << c.text;
    ASSERT_TRUE(error.place.has_value()) << c.text;
    EXPECT_EQ(error.place->start.line, c.line) << c.text;
    EXPECT_EQ(error.place->start.column, c.column) << c.text;
    EXPECT_EQ(error.place->end.column, c.end_column) << c.text;
    if (c.text.size() < 100) {
      EXPECT_EQ(error.pointer, c.pointer) << c.text;
    }
    EXPECT_TRUE(error.syntax->stopped_at.has_value()) << c.text;
  }
  // The library's message is the text, verbatim; the parser stopped at the second entry.
  const auto comma = FindingsOf(cases[0].text);
  EXPECT_EQ(Text(comma[0]),
            "[json.exception.parse_error.101] parse error at 42: syntax error - unexpected '{'; "
            "expected ']'");
  EXPECT_EQ(comma[0].syntax->stopped_at->line, 3u);
  EXPECT_EQ(Hint(comma[0]), "missing comma? put a ',' between the two values");
}

// What the plugin passes over in silence: a later value of a repeated key, and text after the
// top-level value, as in the slip that closes the file before the last entry.
TEST(ConfigCheckTest, RepeatedKeysAndTextAfterTheValue) {
  const auto slip = FindingsOf(R"({"ChatCommands":[{)" + std::string(kClientChat) +
                               "}]},\n {\"Command\": \"/b\"}]}");
  ASSERT_EQ(Codes(slip), std::vector<std::string>{"trailing_text"});
  EXPECT_EQ(slip[0].place->start.line, 1u);
  EXPECT_EQ(slip[0].place->start.column, 72u);  // the comma after the closing "]}"
  EXPECT_EQ(slip[0].pointer, "");

  const auto repeated =
      EntryFindings(std::string(kClientChat) + R"(,"Reply":"Bye","Type":{"x":[1]})");
  ASSERT_EQ(Codes(repeated), std::vector<std::string>(2, "repeated_key"));
  EXPECT_EQ(repeated[0].subject, "Reply");
  EXPECT_EQ(Text(repeated[0]),
            "is given again in one object; the first value counts, \"Bye\" is ignored");
  EXPECT_EQ(repeated[0].place->start.column, 70u);  // the second "Reply"
  EXPECT_EQ(repeated[0].pointer, "/ChatCommands/0/Reply");
  EXPECT_EQ(repeated[0].position, 0u);
  EXPECT_NE(Text(repeated[1]).find("this object is ignored"), std::string::npos);
  // Only the first "ChatCommands" array holds entries; arrays elsewhere name none.
  const auto elsewhere =
      FindingsOf(R"({"Other":[{"a":1,"a":2}],"ChatCommands":[{)" + std::string(kClientChat) +
                 R"(,"Type":"x"}],"ChatCommands":[{"b":1,"b":2}]})");
  std::vector<std::pair<std::string, std::optional<std::size_t>>> entries;
  for (const Finding& finding : elsewhere) {
    if (finding.code == "repeated_key") {
      entries.emplace_back(finding.subject, finding.position);
    }
  }
  // "b" is in the second "ChatCommands", which the plugin ignores.
  EXPECT_EQ(
      entries,
      (std::vector<std::pair<std::string, std::optional<std::size_t>>>{
          {"a", std::nullopt}, {"ChatCommands", std::nullopt}, {"b", std::nullopt}, {"Type", 0}}));
}

TEST(ConfigCheckTest, UnknownKeysNameTheNearestKnownKey) {
  const auto findings = EntryFindings(
      std::string(kClientChat) + R"(,"Colour":[1,1,1,1],"Replay":"x","Tpye":"y","Comment":"z")");
  ASSERT_EQ(Codes(findings), std::vector<std::string>(4, "unknown_key"));
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const Finding& finding : findings) {
    EXPECT_EQ(finding.position, 0u);
    pairs.emplace_back(finding.subject, finding.suggestion.value_or("-"));
  }
  std::sort(pairs.begin(), pairs.end());
  EXPECT_EQ(pairs,
            (std::vector<std::pair<std::string, std::string>>{
                {"Colour", "Color"}, {"Comment", "-"}, {"Replay", "Reply"}, {"Tpye", "Type"}}));
  EXPECT_EQ(Hint(*Find(findings, "unknown_key")), "did you mean \"Color\"?");

  const auto top = FindingsOf(R"({"$schema":"./config.schema.json","Chatcommands":[]})");
  EXPECT_EQ(Codes(top), (std::vector<std::string>{"unknown_key", "no_commands"}));
  EXPECT_EQ(top[0].suggestion, "ChatCommands");
  EXPECT_FALSE(top[0].position.has_value());
}

TEST(ConfigCheckTest, TypeOutsideTheThreeNamesTheNearest) {
  const auto lower = EntryFindings(R"("Command":"/a","Reply":"x","Type":"serverchat")");
  ASSERT_EQ(Codes(lower), std::vector<std::string>{"unknown_type"});
  EXPECT_EQ(lower[0].suggestion, "ServerChat");
  EXPECT_EQ(EntryFindings(R"("Command":"/a","Reply":"x","Type":"Notification ")")[0].suggestion,
            "Notification");
  const auto distant = EntryFindings(R"("Command":"/a","Reply":"x","Type":"Banner")");
  ASSERT_EQ(Codes(distant), std::vector<std::string>{"unknown_type"});
  EXPECT_FALSE(distant[0].suggestion.has_value());
}

TEST(ConfigCheckTest, ColourComponentsAboveOneAndExtraElements) {
  const auto high =
      EntryFindings(R"("Command":"/a","Type":"ServerChat","Reply":"x","Color":[255,0.5,1,255])");
  ASSERT_EQ(Codes(high), std::vector<std::string>(2, "color_range"));  // one per element
  EXPECT_EQ(Text(high[0]), "R = 255 above 1");
  EXPECT_EQ(Text(high[1]), "A = 255 above 1");
  const auto five =
      EntryFindings(R"("Command":"/a","Type":"ServerChat","Reply":"x","Color":[1,1,1,1,7])");
  EXPECT_EQ(Codes(five), std::vector<std::string>{"color_length"});
  const auto three =
      EntryFindings(R"("Command":"/a","Type":"ServerChat","Reply":"x","Color":[1,1,1])");
  ASSERT_EQ(Codes(three), std::vector<std::string>{"color_short"});
  EXPECT_EQ(three[0].severity, Finding::Severity::Error);
  EXPECT_EQ(three[0].pointer, "/ChatCommands/0/Color");
}

// Numbers the game receives differently from how they are written.
TEST(ConfigCheckTest, NumbersTheGameReceivesDifferently) {
  const auto colour = EntryFindings(
      R"("Command":"/a","Type":"ServerChat","Reply":"x","Color":[-0.5,1e-50,true,1e39])");
  EXPECT_EQ(Codes(colour), (std::vector<std::string>{"color_negative", "number_range",
                                                     "number_boolean", "number_range"}));
  EXPECT_EQ(Text(colour[0]), "R = -0.5 below 0");
  EXPECT_EQ(Text(colour[1]), "G = 1e-50, below the game's 32-bit numbers: it receives 0");
  EXPECT_EQ(Text(colour[2]), "B = true: the game receives 1");
  EXPECT_EQ(Text(colour[3]), "A = 1e+39, beyond the game's 32-bit numbers: it receives inf");
  const auto display =
      EntryFindings(R"("Command":"/a","Type":"Notification","Reply":"x","Color":[1,1,1,1],)"
                    R"("DisplayScale":false,"DisplayTime":-1e39)");
  EXPECT_EQ(Codes(display),
            (std::vector<std::string>{"number_boolean", "number_range", "display_not_positive"}));
  EXPECT_EQ(Text(display[1]), "is -1e+39, beyond the game's 32-bit numbers: it receives -inf");
  // The largest float and what rounds to it are received as written.
  EXPECT_EQ(ToGameFloat(3.4028235e38), std::numeric_limits<float>::max());
  EXPECT_EQ(ToGameFloat(0x1.fffffefp127), std::numeric_limits<float>::max());
  EXPECT_EQ(ToGameFloat(0x1.ffffffp127), std::numeric_limits<float>::infinity());
  EXPECT_EQ(ToGameFloat(-1e300), -std::numeric_limits<float>::infinity());
}

TEST(ConfigCheckTest, RepliesWithBraces) {
  const auto lone = EntryFindings(R"("Command":"/a","Type":"ClientChat","Reply":"Hi {name}")");
  ASSERT_EQ(Codes(lone), std::vector<std::string>{"reply_braces"});
  EXPECT_EQ(lone[0].severity, Finding::Severity::Error);  // every use fails
  EXPECT_NE(Hint(lone[0]).find("\"Hi {{name}}\""), std::string::npos) << Hint(lone[0]);
  EXPECT_EQ(Codes(EntryFindings(R"("Command":"/a","Type":"ClientChat","Reply":"a } b")")),
            std::vector<std::string>{"reply_braces"});

  const auto doubled =
      EntryFindings(R"("Command":"/a","Type":"ClientChat","Reply":"Use {{x}} and }}")");
  ASSERT_EQ(Codes(doubled), std::vector<std::string>{"reply_doubled_braces"});
  EXPECT_EQ(doubled[0].severity, Finding::Severity::Note);
  EXPECT_EQ(Text(doubled[0]), "players see \"Use {x} and }\"");

  // Each hint shows the reply as it is written, braces and all.
  for (const auto& [reply, hint] : std::vector<std::pair<std::string, std::string>>{
           {"{}}", "{{}}}}"}, {"Use {:{}} here", "Use {{:{{}}}} here"}}) {
    const auto findings =
        EntryFindings(R"("Command":"/a","Type":"ClientChat","Reply":")" + reply + "\"");
    ASSERT_EQ(Codes(findings), std::vector<std::string>{"reply_braces"}) << reply;
    EXPECT_EQ(Hint(findings[0]), "write literal braces doubled: \"" + hint + "\"");
  }
}

// Replies players do not see as written: control characters, and the text after U+0000.
TEST(ConfigCheckTest, RepliesWithControlCharactersOrUPlus0000) {
  const auto controls = EntryFindings(
      R"("Command":"/a","Type":"ClientChat","Reply":"\u001b]0;title\u0007 two\nlines")");
  ASSERT_EQ(Codes(controls), std::vector<std::string>{"reply_control"});
  EXPECT_NE(Text(controls[0]).find(": \\x1b \\x07"), std::string::npos) << Text(controls[0]);
  const auto nul = EntryFindings(R"("Command":"/a","Type":"ClientChat","Reply":"shown\u0000lost")");
  ASSERT_EQ(Codes(nul), std::vector<std::string>{"reply_nul"});
  EXPECT_NE(Text(nul[0]).find("players see \"shown\", and \"lost\" is lost"), std::string::npos);
}

TEST(ConfigCheckTest, CommandTexts) {
  const auto accented =
      EntryFindings(R"("Command":"/r\u00e8gles","Type":"ClientChat","Reply":"x")");
  ASSERT_EQ(Codes(accented), std::vector<std::string>{"command_non_ascii"});
  EXPECT_EQ(Text(accented[0]), "\"/règles\" is registered as \"/r??gles\"");
  EXPECT_EQ(Codes(EntryFindings(R"("Command":"","Type":"ClientChat","Reply":"x")")),
            std::vector<std::string>{"command_empty"});
  EXPECT_EQ(Codes(EntryFindings(R"("Command":"rules","Type":"ClientChat","Reply":"x")")),
            std::vector<std::string>{"command_no_slash"});

  // Texts no typed line reaches: the host matches a line's first word, and no one types a
  // line break. U+0000 ends the registered text, which is no matter of ASCII.
  for (const std::string command : {"/rules ", "/two words", "/tab\\t", "/nl\\n", "\\u0000/x"}) {
    const auto findings =
        EntryFindings(R"("Command":")" + command + R"(","Type":"ClientChat","Reply":"x")");
    EXPECT_EQ(Codes(findings).size(), 1u) << command;
    EXPECT_TRUE(Find(findings, "command_untypable") || Find(findings, "command_nul")) << command;
  }
  const auto nul = EntryFindings(R"("Command":"/a\u0000b","Type":"ClientChat","Reply":"x")");
  ASSERT_EQ(Codes(nul), std::vector<std::string>{"command_nul"});
  EXPECT_EQ(Text(nul[0]), "\"/a\\u0000b\" is registered as \"/a\"");

  // The host matches commands without regard to case: "/RULES" hides behind "/rules".
  const auto duplicate = FindingsOf(R"({"ChatCommands":[
    {"Command":"/rules","Type":"ClientChat","Reply":"a"},
    {"Command":"/help","Type":"ClientChat","Reply":"b"},
    {"Command":"/RULES","Type":"ClientChat","Reply":"c"}]})");
  ASSERT_EQ(Codes(duplicate), std::vector<std::string>{"command_duplicate"});
  EXPECT_EQ(duplicate[0].position, 2u);
  EXPECT_EQ(Hint(duplicate[0]), "give this entry its own command");
  ASSERT_EQ(duplicate[0].related.size(), 1u);  // the first "/rules", on line 2
  EXPECT_EQ(duplicate[0].related[0].point->line, 2u);
}

// Messages players cannot see: a zero or negative display value, a transparent colour, an
// empty or blank reply.
TEST(ConfigCheckTest, MessagesPlayersCannotSee) {
  const auto findings =
      EntryFindings(R"("Command":"/a","Type":"Notification","Reply":"x","Color":[1,1,1,1],)"
                    R"("DisplayScale":-1,"DisplayTime":0)");
  ASSERT_EQ(Codes(findings), std::vector<std::string>(2, "display_not_positive"));
  EXPECT_EQ(findings[0].subject, "DisplayScale");
  EXPECT_EQ(findings[1].subject, "DisplayTime");
  EXPECT_EQ(Text(findings[1]), "is 0");

  for (const char* alpha : {"0", "-0.5", "1e-50"}) {
    const auto transparent =
        EntryFindings(R"("Command":"/a","Type":"ServerChat","Reply":"x","Color":[1,1,1,)" +
                      std::string(alpha) + "]");
    EXPECT_NE(Find(transparent, "color_transparent"), nullptr) << alpha;
  }
  // No-break, ideographic and zero-width spaces and the word joiner show nothing either.
  for (const char* reply : {"", " \\t\\n", "\u00a0\u3000", "\u200b\u2060 "}) {
    EXPECT_EQ(Codes(EntryFindings(R"("Command":"/a","Type":"ClientChat","Reply":")" +
                                  std::string(reply) + "\"")),
              std::vector<std::string>{"reply_blank"})
        << reply;
  }
  EXPECT_TRUE(
      Codes(EntryFindings(R"("Command":"/a","Type":"ClientChat","Reply":"\u200bx")")).empty());
}

TEST(ConfigCheckTest, ShapesThatStopThePluginOrRegisterNothing) {
  EXPECT_EQ(Codes(FindingsOf("{}")), std::vector<std::string>{"no_commands"});
  EXPECT_EQ(Codes(FindingsOf(R"({"ChatCommands":[]})")), std::vector<std::string>{"no_commands"});
  const auto array = FindingsOf("[1]");
  EXPECT_EQ(Codes(array), std::vector<std::string>{"document_kind"});
  EXPECT_NE(Text(array[0]).find("holds an array, not"), std::string::npos) << Text(array[0]);
  // The plugin starts on a null file, with no command.
  EXPECT_EQ(Codes(FindingsOf("null")), std::vector<std::string>{"no_commands"});
  // Members of an object count in the sorted order of their keys, and each use fails for that,
  // whatever the member holds.
  const std::string object = R"({"ChatCommands":{"b":{"Command":"/b","Type":"ClientChat",)"
                             R"("Reply":"{x}"}}})";
  const auto members = FindingsOf(object);
  EXPECT_EQ(Codes(members), (std::vector<std::string>{"commands_kind", "reply_braces"}));
  EXPECT_NE(Text(members[0]).find("sorted order of their keys"), std::string::npos);
  std::vector<devhost::ProbeResult> probes(1);
  probes[0].outcome = devhost::ProbeResult::Outcome::Failed;
  devhost::ExplainProbes(probes, AnalyseConfigText(object).document.get());
  const std::string hint = devhost::ReasonWords(probes[0].reason, devhost::Quoted);
  EXPECT_EQ(hint.find("\"ChatCommands\" is an object"), 0u) << hint;
  const auto entries = FindingsOf(R"({"ChatCommands":[7,{"Type":"ClientChat","Reply":"x"}]})");
  EXPECT_EQ(Codes(entries), (std::vector<std::string>{"entry_kind", "command_kind"}));
  EXPECT_EQ(entries[1].position, 1u);
  EXPECT_EQ(entries[1].severity, Finding::Severity::Error);
}

// Each key a use reads, missing or of the wrong kind while every key read after it is an
// object: the real reply callback fails on that key, whose null or kind its error names, and
// the check's hint names the key.
using FailureHintTest = test_support::PluginTest;

// What the check says makes a use of `entry` fail; empty when nothing does.
std::string FailureHintOf(const nlohmann::json& entry) {
  const auto failing = devhost::FirstFailingRead(entry);
  return failing ? devhost::FailingReadWords(*failing) : std::string();
}

TEST_F(FailureHintTest, NamesTheKeyTheReplyCallbackFailsOn) {
  using json = nlohmann::json;
  const auto valid = [](const EntryKey& key, std::string_view type) -> json {
    if (&key == &kTypeKey) {
      return std::string(type);
    }
    return key.kind == EntryValueKind::String   ? json("x")
           : key.kind == EntryValueKind::Number ? json(1.5)
                                                : json({1, 1, 1, 1});
  };
  const auto use = [&](const json& entry) -> std::string {
    ConfigDocument = {{"ChatCommands", json::array({entry})}};
    try {
      ReplyCallback{0}(&Player(), nullptr, EChatSendMode::GlobalChat);
    } catch (const nlohmann::detail::type_error& error) {
      const std::string what = error.what();
      return what.substr(what.rfind(' ') + 1);  // the kind the read found
    }
    return "";
  };
  std::vector<std::string_view> types(kReplyTypes.begin(), kReplyTypes.end());
  types.push_back("Whisper");  // reads Reply and Type, and sends nothing
  for (const std::string_view type : types) {
    json entry = json::object();
    for (const EntryKey* key : kUseReadOrder) {
      entry[key->name] = valid(*key, type);
    }
    EXPECT_EQ(use(entry), "") << entry;
    EXPECT_EQ(FailureHintOf(entry), "") << entry;
    for (std::size_t at = 0; at < kUseReadOrder.size(); ++at) {
      const EntryKey& key = *kUseReadOrder[at];
      if (!NeededFor(key, type)) {
        continue;
      }
      json faulty = entry;
      for (std::size_t later = at + 1; later < kUseReadOrder.size(); ++later) {
        faulty[kUseReadOrder[later]->name] = json::object();
      }
      const json wrong = key.kind == EntryValueKind::Number ? json("x") : json(5);
      for (const json& fault : {json(), wrong}) {
        faulty.erase(key.name);
        if (!fault.is_null()) {
          faulty[key.name] = fault;
        }
        EXPECT_EQ(use(faulty), fault.type_name()) << faulty;
        EXPECT_EQ(FailureHintOf(faulty).rfind('"' + std::string(key.name) + '"', 0), 0u)
            << faulty << ": " << FailureHintOf(faulty);
        // The check reports it as an error at that key, before any player tries.
        json registered = faulty;
        registered["Command"] = "/a";
        const auto findings = FindingsOf(json{{"ChatCommands", json::array({registered})}}.dump());
        const auto error = std::find_if(findings.begin(), findings.end(), [](const Finding& f) {
          return f.severity == Finding::Severity::Error;
        });
        ASSERT_NE(error, findings.end()) << registered;
        EXPECT_EQ(error->code, fault.is_null() ? "key_missing" : "value_kind") << registered;
        EXPECT_EQ(error->subject, key.name) << registered;
      }
    }
  }
}

TEST(NearestTest, EditsCountCaseFreeWithSwapsAsOne) {
  EXPECT_EQ(devhost::EditDistance("Colour", "Color"), 1u);
  EXPECT_EQ(devhost::EditDistance("serverchat", "ServerChat"), 0u);
  EXPECT_EQ(devhost::EditDistance("Dispaly", "Display"), 1u);
  EXPECT_EQ(devhost::EditDistance("", "Type"), 4u);
  const std::vector<std::string> keys = {"Command", "Reply", "Type"};
  EXPECT_EQ(devhost::NearestOf("Replay", keys), "Reply");
  EXPECT_EQ(devhost::NearestOf("Text", keys), std::nullopt);  // two edits from "Type"
  EXPECT_EQ(devhost::NearestOf("X", keys), std::nullopt);
}

}  // namespace
