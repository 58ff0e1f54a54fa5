// "devhost --check" as an operator runs it: the report, the JSON findings and the exit status.

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/ProgramRun.h"
#include "tests/support/TestSupport.h"

namespace {

using json = nlohmann::json;

using CheckRun = test_support::ProgramRun;

// `environment` is put before the program, e.g. "NO_COLOR=1 ".
CheckRun RunProgram(const std::string& arguments, const std::string& environment = "") {
  return test_support::RunCommand(environment + "'" + DEVHOST_PROGRAM_PATH + "' " + arguments +
                                  " 2>/dev/null");
}

std::vector<json> JsonLines(const std::string& out) {
  std::vector<json> lines;
  std::istringstream stream(out);
  for (std::string line; std::getline(stream, line);) {
    lines.push_back(json::parse(line));  // every line must be one JSON object
  }
  return lines;
}

std::vector<json> Select(const std::vector<json>& lines, const std::string& finding) {
  std::vector<json> chosen;
  for (const json& line : lines) {
    if (line.value("finding", "") == finding) {
      chosen.push_back(line);
    }
  }
  return chosen;
}

const std::string kExamples = QUORVANE_EXAMPLES_DIR;

TEST(CheckProgramTest, ExampleServerReportsThreeWorkingCommandsAndExitsZero) {
  const CheckRun run = RunProgram("--check --server-dir '" + kExamples + "/server'");
  EXPECT_EQ(run.exit_code, 0) << run.out;
  EXPECT_EQ(run.out, "Checking " + kExamples +
                         "/server/ArkApi/Plugins/Quorvane/config.json\n"
                         "The plugin started with 3 chat commands.\n"
                         "\n"
                         "Commands, in registration order:\n"
                         "  0  \"/rules\"  sent          ServerChat rgba(1, 0.5, 0, 1): No "
                         "building next to the spawn points.\n"
                         "  1  \"/help\"   sent          ClientChat from Server: Commands: "
                         "/rules and /wipe\n"
                         "  2  \"/wipe\"   sent          Notification rgba(1, 1, 1, 1) scale "
                         "1.5 time 10: Next wipe on Friday\n"
                         "\n"
                         "3 commands: 3 send a message; no warnings.\n");
}

// The four mistakes: "Colour" for "Color", "serverchat", a reply "{name}", a repeated command.
class CheckMistakesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.WriteConfig(R"({"ChatCommands": [
      {"Command": "/rules", "Type": "ServerChat", "Reply": "No building.", "Colour": [1, 0, 0, 1]},
      {"Command": "/help", "Type": "serverchat", "Reply": "Ask", "Color": [1, 1, 1, 1]},
      {"Command": "/hello", "Type": "ClientChat", "Reply": "{name}"},
      {"Command": "/rules", "Type": "ClientChat", "Reply": "Second rules"}]})");
  }
  std::string Arguments() const { return "--check --server-dir '" + server_.Path() + "'"; }

  test_support::ServerFolder server_;
};

TEST_F(CheckMistakesTest, JsonNamesEachMistakeWithPositionAndHint) {
  const CheckRun run = RunProgram(Arguments() + " --json");
  EXPECT_EQ(run.exit_code, 1);
  const std::vector<json> lines = JsonLines(run.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front()["finding"], "start");
  EXPECT_EQ(lines.back()["finding"], "summary");
  EXPECT_EQ(lines.back()["exit_status"], 1);

  const std::vector<json> commands = Select(lines, "command");
  ASSERT_EQ(commands.size(), 4u);
  EXPECT_EQ(commands[0]["outcome"], "failed");
  EXPECT_EQ(commands[0]["error"],
            "[json.exception.type_error.302] type must be number, but is null");
  EXPECT_EQ(commands[0]["hint"],
            "\"Color\" is missing (needed for ServerChat: an array of four numbers)");
  EXPECT_EQ(commands[1]["outcome"], "nothing_sent");
  EXPECT_EQ(commands[1]["reason"],
            "Type \"serverchat\" is none of ServerChat, ClientChat, Notification");
  EXPECT_EQ(commands[2]["outcome"], "failed");
  // The repeated command is still probed itself, although no player reaches it.
  EXPECT_EQ(commands[3]["command"], "/rules");
  EXPECT_EQ(commands[3]["messages"][0]["text"], "Second rules");

  std::vector<std::string> found;
  for (const json& line : Select(lines, "config")) {
    found.push_back(line["code"].get<std::string>() + "@" + line["position"].dump() + " " +
                    line.value("suggestion", "") + " " + line.value("hint", ""));
  }
  EXPECT_EQ(found, (std::vector<std::string>{
                       "unknown_key@0 Color did you mean \"Color\"?",
                       "unknown_type@1 ServerChat did you mean \"ServerChat\"? (letter case "
                       "counts)",
                       "reply_braces@2  write literal braces doubled: \"{{name}}\"",
                       "command_duplicate@3  players reach only entry 0; give this entry its "
                       "own command"}));
}

TEST_F(CheckMistakesTest, HumanReportListsWarningsByEntryAndColoursOnlyWhenAsked) {
  const CheckRun plain = RunProgram(Arguments());
  EXPECT_EQ(plain.exit_code, 1);
  EXPECT_NE(plain.out.find("\nWarnings:\n  entry 0  Colour   key is never read; did you mean "
                           "\"Color\"?\n"),
            std::string::npos)
      << plain.out;
  EXPECT_NE(plain.out.find("\n4 commands: 1 sends a message, 1 sends nothing, 2 fail; "
                           "4 warnings.\n"),
            std::string::npos)
      << plain.out;
  EXPECT_EQ(plain.out.find('\x1b'), std::string::npos);

  const CheckRun coloured = RunProgram(Arguments() + " --color always");
  EXPECT_NE(coloured.out.find("\x1b["), std::string::npos);
  EXPECT_EQ(RunProgram(Arguments() + " --color never").out, plain.out);
  // An explicit request beats NO_COLOR.
  EXPECT_NE(RunProgram(Arguments() + " --color always", "NO_COLOR=1 ").out.find("\x1b["),
            std::string::npos);
}

TEST(CheckProgramTest, ParseErrorGivesLineAndColumnAndExitsTwo) {
  test_support::ServerFolder server;
  server.WriteConfig(
      "{\n  \"ChatCommands\": [\n    {\"Command\": \"/a\" \"Reply\": \"x\"}\n  ]\n}\n");
  const CheckRun run = RunProgram("--check --json --server-dir '" + server.Path() + "'");
  EXPECT_EQ(run.exit_code, 2);
  const std::vector<json> lines = JsonLines(run.out);
  ASSERT_EQ(Select(lines, "start").size(), 1u);
  const json start = Select(lines, "start")[0];
  EXPECT_FALSE(start["ok"].get<bool>());
  const std::vector<json> findings = Select(lines, "config");
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0]["code"], "parse_error");
  EXPECT_EQ(findings[0]["line"], 3);
  // Where the parser stopped: the end of the unexpected "Reply", as the message says too.
  EXPECT_EQ(findings[0]["column"], 28);
  EXPECT_NE(findings[0]["text"].get<std::string>().find("line 3, column 28"), std::string::npos);
  // The library's message, as the plugin logs it.
  EXPECT_EQ(findings[0]["text"], start["error"]);
  EXPECT_TRUE(Select(lines, "command").empty());
}

TEST(CheckProgramTest, MissingConfigExitsTwoAndSaysWhereTheFileBelongs) {
  test_support::ServerFolder server;
  const CheckRun run = RunProgram("--check --server-dir '" + server.Path() + "'");
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.out.find("The plugin did not start: Can't open config.json\n"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("create ArkApi/Plugins/Quorvane/config.json under the server folder"),
            std::string::npos);
}

TEST(CheckProgramTest, ScriptedSessionStaysPlainWhateverTheColourOption) {
  const std::string session =
      "--server-dir '" + kExamples + "/server' --script '" + kExamples + "/session.txt'";
  const CheckRun plain = RunProgram(session);
  EXPECT_EQ(plain.exit_code, 0);
  EXPECT_EQ(RunProgram(session + " --color always").out, plain.out);
  // A check plays no session.
  EXPECT_NE(RunProgram("--check --script '" + kExamples + "/session.txt'").exit_code, 0);
}

}  // namespace
