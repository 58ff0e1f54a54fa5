// "devhost --check" as an operator runs it: the report, the JSON findings and the exit status.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "bridge/GameFunctions.h"
#include "devhost/check/RunCheck.h"
#include "devhost/host/Host.h"
#include "devhost/host/HostSeams.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ServerFolder.h"
#include "tests/support/TestSupport.h"

namespace {

using json = nlohmann::json;

using CheckRun = test_support::ProgramRun;
using test_support::RunProgram;

using test_support::Bytes;
using test_support::FolderNames;

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
                         "  line 4   \"/rules\"  sent          ServerChat rgba(1, 0.5, 0, 1): No "
                         "building next to the spawn points.\n"
                         "  line 10  \"/help\"   sent          ClientChat from Server: Commands: "
                         "/rules and /wipe\n"
                         "  line 15  \"/wipe\"   sent          Notification rgba(1, 1, 1, 1) scale "
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
                       "key_missing@0  add \"Color\" to the entry; every use of the command "
                       "fails",
                       "unknown_type@1 ServerChat did you mean \"ServerChat\"? (letter case "
                       "counts)",
                       "reply_braces@2  write literal braces doubled: \"{{name}}\"",
                       "command_duplicate@3  give this entry its own command"}));
}

TEST_F(CheckMistakesTest, HumanReportListsWarningsByEntryAndColoursOnlyWhenAsked) {
  const CheckRun plain = RunProgram(Arguments());
  EXPECT_EQ(plain.exit_code, 1);
  // Each finding in the form compilers use, which the editors' problem matchers read.
  EXPECT_NE(plain.out.find("config.json:2:76: warning: Colour: key is never read [unknown_key]\n"),
            std::string::npos)
      << plain.out;
  EXPECT_NE(plain.out.find("\n4 commands: 0 send a message, 1 sends nothing, 2 fail, "
                           "1 unreachable; 2 errors, 3 warnings.\n"),
            std::string::npos)
      << plain.out;
  EXPECT_EQ(plain.out.find('\x1b'), std::string::npos);
  // VS Code's $gcc problem matcher finds every finding and nothing else: source lines, carets,
  // hints and notes never match.
  const std::regex gcc(R"(^(.*?):(\d+):(\d*):?\s+(?:fatal\s+)?(warning|error):\s+(.*)$)");
  std::size_t matched = 0;
  std::istringstream report(plain.out);
  for (std::string line; std::getline(report, line);) {
    std::smatch match;
    if (std::regex_match(line, match, gcc)) {
      ++matched;
      EXPECT_NE(match[1].str().find("config.json"), std::string::npos) << line;
      EXPECT_FALSE(match[2].str().empty()) << line;
    }
  }
  EXPECT_EQ(matched, 5u) << plain.out;

  const CheckRun coloured = RunProgram(Arguments() + " --color always");
  EXPECT_NE(coloured.out.find("\x1b["), std::string::npos);
  EXPECT_EQ(RunProgram(Arguments() + " --color never").out, plain.out);
  // An explicit request beats NO_COLOR.
  EXPECT_NE(
      RunProgram(Arguments() + " --color always", "/dev/null", "NO_COLOR=1 ").out.find("\x1b["),
      std::string::npos);
}

TEST(CheckProgramTest, CommandsNoTypedLineReachesAreUnreachable) {
  test_support::ServerFolder server;
  server.WriteConfig(R"({"ChatCommands": [
    {"Command": "/rules ", "Type": "ClientChat", "Reply": "a"},
    {"Command": "", "Type": "ClientChat", "Reply": "b"},
    {"Command": "/a\u0000b", "Type": "ClientChat", "Reply": "c"}]})");
  const CheckRun run = RunProgram("--check --json --server-dir '" + server.Path() + "'");
  EXPECT_EQ(run.exit_code, 1);
  const std::vector<json> commands = Select(JsonLines(run.out), "command");
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0]["outcome"], "unreachable");
  EXPECT_EQ(commands[1]["outcome"], "unreachable");
  // Registered as "/a", which a player can type.
  EXPECT_EQ(commands[2]["command"], "/a");
  EXPECT_EQ(commands[2]["messages"][0]["text"], "c");
}

// A game whose allocator never gets its blocks back: the check must not call that clean.
std::vector<void*> kept_blocks;
void KeepBlock(void* pointer) {
  kept_blocks.push_back(pointer);
}

TEST(CheckProgramTest, GameMemoryLeftAllocatedIsAnError) {
  test_support::ServerFolder server;
  server.WriteConfig(
      R"({"ChatCommands": [{"Command": "/a", "Type": "ClientChat", "Reply": "a"}]})");
  devhost::Host& host = devhost::Host::Instance();
  host.Reset();
  devhost::HostSeams::SetAddress(kFMemoryFree, &KeepBlock);
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  const int status =
      devhost::RunCheck({server.Path(), QUORVANE_PLUGIN_PATH, true, false, {}, {}}, out);
  host.Reset();
  for (void* block : kept_blocks) {
    host.Allocator().Free(block);
  }
  std::rewind(out);
  std::string text;
  for (int c; (c = std::fgetc(out)) != EOF;) {
    text += static_cast<char>(c);
  }
  std::fclose(out);
  EXPECT_EQ(status, 1);
  const std::vector<json> findings = Select(JsonLines(text), "config");
  ASSERT_EQ(findings.size(), 1u) << text;
  EXPECT_EQ(findings[0]["code"], "game_memory");
  EXPECT_EQ(findings[0]["severity"], "error");
}

// One very long command must not widen every line of the report: it stays about as long as
// the file, whichever form it takes.
TEST(CheckProgramTest, ReportStaysInProportionToTheFile) {
  std::string config = R"({"ChatCommands": [{"Command": "/)" + std::string(1 << 20, 'x') +
                       R"(", "Type": "ClientChat", "Reply": "long"})";
  for (int i = 0; i < 200; ++i) {
    config +=
        R"(, {"Command": "/c)" + std::to_string(i) + R"(", "Type": "ClientChat", "Reply": "r"})";
  }
  test_support::ServerFolder server;
  server.WriteConfig(config + "]}");
  for (const char* format : {"", " --json"}) {
    const CheckRun run = RunProgram("--check --server-dir '" + server.Path() + "'" + format);
    EXPECT_EQ(run.exit_code, 0) << format;
    EXPECT_LT(run.out.size(), 3 * config.size()) << format;
  }
}

// A reply that would rewrite the terminal's lines or title is shown escaped to people.
TEST(CheckProgramTest, ControlCharactersReachNoTerminal) {
  test_support::ServerFolder server;
  server.WriteConfig(
      R"({"ChatCommands": [{"Command": "/a", "Type": "ClientChat", "Reply": "\u001b[2K\u0007"}]})");
  const std::string script = server.Path() + "/session.txt";
  std::FILE* file = std::fopen(script.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("alice: /a\n", file);
  std::fclose(file);
  const CheckRun check = RunProgram("--check --server-dir '" + server.Path() + "'");
  const CheckRun session =
      RunProgram("--server-dir '" + server.Path() + "' --script '" + script + "'");
  EXPECT_EQ(check.exit_code, 1);
  for (const CheckRun* run : {&check, &session}) {
    EXPECT_EQ(run->out.find_first_of("\x1b\x07"), std::string::npos) << run->out;
    EXPECT_NE(run->out.find("\\x1b[2K\\x07"), std::string::npos) << run->out;
  }
}

// The same mistake in a file with LF line ends, and in one with CR LF and a byte-order mark, as
// Windows editors save it: on Windows the plugin reads CR LF as LF, and the check's places are
// still the stored file's.
TEST(CheckProgramTest, ParseErrorGivesLineAndColumnAndExitsTwo) {
  const struct {
    const char* name;
    std::string text;
    std::size_t offset;
  } cases[] = {
      {"LF", "{\n  \"ChatCommands\": [\n    {\"Command\": \"/a\" \"Reply\": \"x\"}\n  ]\n}\n", 42},
      {"BOM and CR LF",
       "\xEF\xBB\xBF{\r\n  \"ChatCommands\": [\r\n    {\"Command\": \"/a\" \"Reply\": \"x\"}\r\n  "
       "]\r\n}\r\n",
       47},
  };
  for (const auto& c : cases) {
    test_support::ServerFolder server;
    server.WriteConfig(c.text);
    const CheckRun run = RunProgram("--check --json --server-dir '" + server.Path() + "'");
    EXPECT_EQ(run.exit_code, 2) << c.name;
    const std::vector<json> lines = JsonLines(run.out);
    ASSERT_EQ(Select(lines, "start").size(), 1u) << c.name;
    const json start = Select(lines, "start")[0];
    EXPECT_FALSE(start["ok"].get<bool>());
    const std::vector<json> findings = Select(lines, "config");
    ASSERT_EQ(findings.size(), 1u) << c.name;
    EXPECT_EQ(findings[0]["code"], "parse_error");
    // The place to fix: the comma goes right after "/a"; the parser stopped at the end of the
    // unexpected "Reply", the byte the message counts to.
    EXPECT_EQ(findings[0]["cause"], "missing_comma") << c.name;
    EXPECT_EQ(findings[0]["offset"], c.offset) << c.name;
    EXPECT_EQ(findings[0]["line"], 3) << c.name;
    EXPECT_EQ(findings[0]["column"], 21) << c.name;
    EXPECT_EQ(findings[0]["end_column"], 21) << c.name;
    EXPECT_EQ(findings[0]["pointer"], "/ChatCommands/0") << c.name;
    EXPECT_EQ(findings[0]["parser_line"], 3) << c.name;
    EXPECT_EQ(findings[0]["parser_column"], 28) << c.name;
    // The library's message, as the plugin logs it on this platform.
    EXPECT_EQ(findings[0]["text"], start["error"]) << c.name;
    EXPECT_TRUE(Select(lines, "command").empty());
  }
}

// The plugin only says "Can't open config.json"; the check says why, and what to do about it.
TEST(CheckProgramTest, ConfigThatCannotBeOpenedExitsTwoWithItsReasonAndRemedy) {
  using test_support::ServerFolder;
  const struct {
    const char* name;
    std::function<void(const ServerFolder&)> make;
    const char* reason;
    const char* remedy;
  } cases[] = {
      {"missing", [](const ServerFolder&) {}, ": not found [",
       "create ArkApi/Plugins/Quorvane/config.json under the server folder"},
      {"folder",
       [](const ServerFolder& server) { std::filesystem::create_directories(server.ConfigPath()); },
       ": it is a folder [", "remove the folder"},
      {"FIFO", [](const ServerFolder& server) { EXPECT_TRUE(server.MakeConfigFifo()); },
       ": not a regular file", "replace it with an ordinary file"},
      {"device behind a symbolic link",
       [](const ServerFolder& server) {
         std::filesystem::create_directories(server.ConfigPath().parent_path());
         std::filesystem::create_symlink("/dev/null", server.ConfigPath());
       },
       ": not a regular file", "replace it with an ordinary file"},
      {"unreadable",
       [](const ServerFolder& server) {
         server.WriteConfig("{}");
         std::filesystem::permissions(server.ConfigPath(), std::filesystem::perms::none);
       },
       ": permission denied [", "let the account the server runs as read the file"},
  };
  for (const auto& c : cases) {
    if (std::string(c.name) == "unreadable" && geteuid() == 0) {
      continue;  // root reads the file all the same
    }
    ServerFolder server;
    c.make(server);
    const auto started = std::chrono::steady_clock::now();
    const CheckRun run = RunProgram("--check --server-dir '" + server.Path() + "'");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << c.name;
    EXPECT_EQ(run.exit_code, 2) << c.name;
    EXPECT_NE(run.out.find("The plugin did not start: Can't open config.json\n"), std::string::npos)
        << c.name << "\n"
        << run.out;
    EXPECT_NE(run.out.find(c.reason), std::string::npos) << c.name << "\n" << run.out;
    EXPECT_NE(run.out.find(c.remedy), std::string::npos) << c.name << "\n" << run.out;
  }
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

// The example pair: /rules edited, /help kept, /wipe's position taken by the new /discord,
// /vote's position gone. Played in a scratch folder; the operator's files stay as they are.
TEST(CheckProgramTest, ReloadPreviewSaysWhatEachCommandDoesAfterTheReload) {
  const std::string old_file = kExamples + "/reload/old.json";
  const std::string server = kExamples + "/reload/server";
  const std::string preview = "--check --reload-from '" + old_file + "' --server-dir ";
  const auto bytes = [](const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  };
  const std::string new_file = server + "/ArkApi/Plugins/Quorvane/config.json";
  const std::string old_before = bytes(old_file);
  const std::string new_before = bytes(new_file);

  const CheckRun run = RunProgram(preview + "'" + server + "' --json");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(bytes(old_file), old_before);
  EXPECT_EQ(bytes(new_file), new_before);
  const std::vector<json> lines = JsonLines(run.out);
  ASSERT_EQ(Select(lines, "reload").size(), 1u);
  EXPECT_TRUE(Select(lines, "reload")[0]["ok"].get<bool>());
  std::vector<std::string> changes;
  for (const json& line : Select(lines, "reload_command")) {
    changes.push_back(line["command"].get<std::string>() + " " + line["change"].get<std::string>() +
                      " " + line.value("answered_by", "") + " " + line["after"]["outcome"].dump());
  }
  EXPECT_EQ(changes, (std::vector<std::string>{
                         "/rules updated  \"sent\"", "/help unchanged  \"sent\"",
                         "/wipe other_entry /discord \"sent\"", "/vote fails  \"failed\""}));
  ASSERT_EQ(Select(lines, "new_command").size(), 1u);
  EXPECT_EQ(Select(lines, "new_command")[0]["command"], "/discord");

  const CheckRun human = RunProgram(preview + "'" + server + "'");
  EXPECT_EQ(human.exit_code, 1);
  EXPECT_NE(human.out.find("  line 15 -> 15  \"/wipe\"   another entry  answers with the reply "
                           "of the entry at line 15, \"/discord\": ClientChat from Server: Join "
                           "us on Discord"),
            std::string::npos)
      << human.out;

  // A file the plugin refuses: a red reload, and the commands keep the old configuration.
  test_support::ServerFolder broken;
  broken.WriteConfig(R"({"ChatCommands": [)");
  const CheckRun red = RunProgram(preview + "'" + broken.Path() + "' --json");
  EXPECT_EQ(red.exit_code, 1);
  const std::vector<json> red_lines = JsonLines(red.out);
  ASSERT_EQ(Select(red_lines, "reload").size(), 1u);
  EXPECT_FALSE(Select(red_lines, "reload")[0]["ok"].get<bool>());
  EXPECT_NE(Select(red_lines, "reload")[0]["error"].get<std::string>().find("parse_error"),
            std::string::npos);
  for (const json& line : Select(red_lines, "reload_command")) {
    EXPECT_EQ(line["change"], "unchanged") << line;
  }

  // Reloading the file the server started with changes nothing.
  EXPECT_EQ(RunProgram("--check --reload-from '" + kExamples +
                       "/server/ArkApi/Plugins/Quorvane/config.json' --server-dir '" + kExamples +
                       "/server'")
                .exit_code,
            0);
}

}  // namespace

namespace {

// --html FILE never destroys what the check reads or loads, and replaces its own file whole or
// not at all: through a link, keeping its mode, and never leaving a half-written page.
TEST(CheckProgramTest, PageReplacesOnlyItsOwnFileAndOnlyWhole) {
  namespace fs = std::filesystem;
  test_support::ServerFolder server;
  const std::string config = R"({"ChatCommands": [{"Command": "/a", "Type": "ClientChat", )"
                             R"("Reply": "a"}]})";
  server.WriteConfig(config);
  const fs::path folder = server.Path();
  fs::copy_file(QUORVANE_PLUGIN_PATH, folder / "plugin.so");
  fs::create_symlink(server.ConfigPath(), folder / "config-link.html");
  fs::create_directory(folder / "pages");
  fs::create_symlink("pages/real.html", folder / "page.html");
  std::ofstream(folder / "pages/real.html") << "old page";
  fs::permissions(folder / "pages/real.html", fs::perms(0640));
  const std::string check = "--check --plugin '" + (folder / "plugin.so").string() +
                            "' --server-dir '" + server.Path() + "' --html ";
  const std::string errors = (folder / "stderr.txt").string();
  const struct {
    const char* page;
    const char* limit;  // a shell command before the program, e.g. a file size limit
    int status;
    const char* message;
  } cases[] = {
      {"ArkApi/Plugins/Quorvane/config.json", "", 6, "it is the server's config.json"},
      {"config-link.html", "", 6, "it is the server's config.json"},
      {"plugin.so", "", 6, "it is the plugin, which the check loads"},
      {"/dev/full", "", 6, "cannot write the page /dev/full: No space left on device"},
      {"missing/page.html", "", 6, "missing/page.html: No such file or directory"},
      // The page is larger than the limit: the old one stays.
      {"page.html", "ulimit -f 1; ", 6, "page.html: File too large"},
      {"page.html", "", 0, ""},
  };
  for (const auto& c : cases) {
    const std::string page = c.page[0] == '/' ? c.page : (folder / c.page).string();
    const CheckRun run = RunProgram(check + "'" + page + "'", errors, c.limit);
    EXPECT_EQ(run.exit_code, c.status) << c.page;
    EXPECT_NE(Bytes(errors).find(c.message), std::string::npos) << c.page << ": " << Bytes(errors);
    EXPECT_EQ(Bytes(server.ConfigPath()), config) << c.page;
    EXPECT_EQ(fs::file_size(folder / "plugin.so"), fs::file_size(QUORVANE_PLUGIN_PATH));
    EXPECT_EQ(FolderNames(folder / "pages"), std::vector<std::string>{"real.html"}) << c.page;
    EXPECT_EQ(Bytes(folder / "pages/real.html") == "old page", c.status != 0) << c.page;
  }
  EXPECT_TRUE(fs::is_symlink(folder / "page.html"));
  EXPECT_NE(Bytes(folder / "page.html").find("<!DOCTYPE html>"), std::string::npos);
  EXPECT_EQ(fs::status(folder / "pages/real.html").permissions(), fs::perms(0640));

  // A reader that goes away, or standard output closed from the start: the run says it cannot
  // write, and the page is whole, without the report in it, and alone in its folder.
  std::string many = R"({"ChatCommands": [)";
  for (int i = 0; i < 2000; ++i) {
    many += (i > 0 ? ", " : "") + std::string(R"({"Command": "/c)") + std::to_string(i) +
            R"(", "Type": "ClientChat", "Reply": "r"})";
  }
  server.WriteConfig(many + "]}");
  const std::string status_file = (folder / "status.txt").string();
  const std::string lost_page = check + "'" + (folder / "pages/lost.html").string() + "'";
  const std::string status_kept = "; echo $? >'" + status_file + "'";
  for (const std::string& lost :
       {"{ " + test_support::DevhostCommand(lost_page, errors, "", "timeout 10 ") + status_kept +
            "; } | head -1",
        test_support::DevhostCommand(lost_page + " >&-", errors, "", "timeout 10 ") +
            status_kept}) {
    fs::remove(folder / "pages/lost.html");
    test_support::RunCommand(lost);
    EXPECT_EQ(Bytes(status_file), "6\n") << lost;
    EXPECT_NE(Bytes(errors).find("cannot write standard output"), std::string::npos) << lost;
    EXPECT_EQ(FolderNames(folder / "pages"), (std::vector<std::string>{"lost.html", "real.html"}))
        << lost;
    EXPECT_EQ(Bytes(folder / "pages/lost.html").find("<!DOCTYPE html>"), 0u) << lost;
    EXPECT_EQ(Bytes(folder / "pages/lost.html").find("Checking "), std::string::npos) << lost;
  }
  server.WriteConfig(config);

  // Standard output in a file: the page follows the report there, replacing nothing.
  const std::string both = (folder / "both.txt").string();
  EXPECT_EQ(RunProgram(check + "/dev/stdout >'" + both + "'").exit_code, 0);
  EXPECT_EQ(Bytes(both).find("Checking "), 0u);
  EXPECT_NE(Bytes(both).find("<!DOCTYPE html>"), std::string::npos);
}

// Replies players cannot see, and commands they cannot reach, are no all-clear: not in the
// report, not on the page.
TEST(CheckProgramTest, InvisibleRepliesAndUnreachableCommandsNeedAttention) {
  test_support::ServerFolder server;
  server.WriteConfig(R"({"ChatCommands": [
    {"Command": "/clear", "Type": "ServerChat", "Reply": "x", "Color": [1, 1, 1, 0]},
    {"Command": "/blank", "Type": "ClientChat", "Reply": " "},
    {"Command": "/two words", "Type": "ClientChat", "Reply": "y"}]})");
  const std::string page = server.Path() + "/page.html";
  const CheckRun run =
      RunProgram("--check --json --server-dir '" + server.Path() + "' --html '" + page + "'");
  EXPECT_EQ(run.exit_code, 1);
  std::vector<std::string> codes;
  for (const json& finding : Select(JsonLines(run.out), "config")) {
    codes.push_back(finding["code"].get<std::string>() + "@" + finding["position"].dump());
  }
  EXPECT_EQ(codes, (std::vector<std::string>{"color_transparent@0", "reply_blank@1",
                                             "command_untypable@2"}));
  const std::string html = Bytes(page);
  EXPECT_NE(html.find("some need attention"), std::string::npos);
  EXPECT_NE(html.find("<span class=\"severity\">unreachable</span>"), std::string::npos);
  EXPECT_EQ(html.find("sends nothing"), std::string::npos);
}

// The preview names the file it cannot read and why, as the plain check does; what stops the
// preview itself is its own status, for programs too.
TEST(CheckProgramTest, ReloadPreviewSaysWhyAFileCannotBeUsed) {
  test_support::ServerFolder server;
  server.WriteConfig(
      R"({"ChatCommands": [{"Command": "/a", "Type": "ClientChat", "Reply": "a"}]})");
  const std::string old_file = server.ConfigPath().string();
  const std::string fifo = server.Path() + "/old.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  test_support::ServerFolder empty;
  // Regular files whose reads fail with EIO.
  const std::string unreadable = server.Path() + "/mem.json";
  std::filesystem::create_symlink("/proc/self/mem", unreadable);
  test_support::ServerFolder failing;
  std::filesystem::create_directories(failing.ConfigPath().parent_path());
  std::filesystem::create_symlink("/proc/self/mem", failing.ConfigPath());
  const struct {
    std::string arguments;
    const char* environment;
    int status;
    const char* said;
    const char* why;
  } cases[] = {
      {"--reload-from '" + server.Path() + "/none.json' --server-dir '" + server.Path() + "'", "",
       5, "The preview cannot run: cannot open ", "none.json: not found"},
      {"--reload-from '" + fifo + "' --server-dir '" + server.Path() + "' --json", "", 5,
       R"("error":"cannot open )",
       R"x(old.fifo: not a regular file (a FIFO, a device or a socket)","code":"file_not_regular")x"},
      {"--reload-from '" + old_file + "' --server-dir '" + server.Path() + "' --json",
       "TMPDIR=/nonexistent ", 5, R"("error":"cannot create a scratch folder under )",
       R"(/nonexistent: No such file or directory","code":"scratch_folder")"},
      {"--reload-from '" + old_file + "' --server-dir '" + empty.Path() + "'", "", 1,
       "The current file cannot be read: cannot open ", "config.json: not found; create "},
      {"--reload-from '" + unreadable + "' --server-dir '" + server.Path() + "' --json", "", 5,
       R"("error":"cannot read )", "mem.json: Input/output error"},
      {"--reload-from '" + old_file + "' --server-dir '" + failing.Path() + "'", "", 1,
       "The current file cannot be read: cannot read ", "config.json: Input/output error"},
  };
  for (const auto& c : cases) {
    const CheckRun run = RunProgram("--check " + c.arguments, "/dev/null", c.environment);
    EXPECT_EQ(run.exit_code, c.status) << c.arguments;
    EXPECT_NE(run.out.find(c.said), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(c.why), std::string::npos) << run.out;
    if (c.arguments.find("--json") != std::string::npos) {
      EXPECT_EQ(JsonLines(run.out).back()["exit_status"], 5) << run.out;
    }
  }
}

// Each command at its place in both files, a syntax error in either at its place, everything
// printed escaped, and no change of meaning at a position players never reached.
TEST(CheckProgramTest, ReloadPreviewPlacesEscapesAndSkipsShadowedCommands) {
  const std::string a = R"({"Command": "/a", "Type": "ClientChat", "Reply": "a"})";
  const std::string b = R"({"Command": "/b", "Type": "ClientChat", "Reply": "b"})";
  const std::string c1 = R"(\u009b)";  // CSI as a JSON escape: the file is ASCII
  const struct {
    const char* name;
    std::string old_config;
    std::string current;
    bool json;
    int status;
    std::vector<std::string> said;
  } cases[] = {
      {"places",
       "{\"ChatCommands\": [\n  " + a + "]}",
       "{\"ChatCommands\": [\n\n\n  " + a + "]}",
       true,
       0,
       {R"("offset":33,"line":2,"column":15,"end_offset":37,"end_line":2,"end_column":19})",
        R"("offset":35,"line":4,"column":15,"end_offset":39,"end_line":4,"end_column":19})"}},
      {"places in text",
       "{\"ChatCommands\": [\n  " + a + "]}",
       "{\"ChatCommands\": [\n\n\n  " + a + "]}",
       false,
       0,
       {"  line 2 -> 4  \"/a\"  unchanged"}},
      {"syntax error in the current file",
       "{\"ChatCommands\": [" + a + "]}",
       "{\"ChatCommands\": [\n  {\"Command\": \"/a\"\n   \"Type\": \"ClientChat\"}]}",
       true,
       1,
       {R"("line":2,"column":19,"end_offset":37,"end_line":2,"end_column":19,"pointer":)"
        R"("/ChatCommands/0","cause":"missing_comma","parser_offset":)"}},
      {"syntax error in the old file",
       "{\"ChatCommands\": [\n  " + a + ",\n]}",
       "{\"ChatCommands\": [" + a + "]}",
       false,
       2,
       {"old.json:2:56: error: ", "remove the ','"}},
      {"controls escaped",
       R"({"ChatCommands": [)" + a + ", " + b + "]}",
       R"({"ChatCommands": [{"Command": "/a", "Type": "x)" + c1 + R"(", "Reply": "a"}, )" +
           R"({"Command": "/b", "Type": "ClientChat", "Reply": "{)" + c1 + R"("}]})",
       false,
       1,
       {"Type \"x\\u009b\" is none of", "\"{{\\u009b\""}},
      {"a shadowed registration",
       R"({"ChatCommands": [)" + a + R"(, {"Command": "/A", )" +
           R"("Type": "ClientChat", "Reply": "b"}]})",
       R"({"ChatCommands": [)" + a + R"(, {"Command": "/b", "Type": "Notification"}]})",
       true,
       0,
       {R"("command":"/A","change":"unreachable","changes_meaning":false)"}},
  };
  for (const auto& c : cases) {
    test_support::ServerFolder server;
    server.WriteConfig(c.current);
    const std::string old_file = server.Path() + "/old.json";
    std::ofstream(old_file, std::ios::binary) << c.old_config;
    const CheckRun run = RunProgram("--check --reload-from '" + old_file + "' --server-dir '" +
                                    server.Path() + "'" + (c.json ? " --json" : ""));
    EXPECT_EQ(run.exit_code, c.status) << c.name << "\n" << run.out;
    for (const std::string& said : c.said) {
      EXPECT_NE(run.out.find(said), std::string::npos) << c.name << ": " << said << "\n" << run.out;
    }
    EXPECT_EQ(run.out.find("\xc2\x9b"), std::string::npos) << c.name << "\n" << run.out;
  }
}

// The scratch server is private, its copies no wider than the files they copy, and a SIGTERM,
// SIGHUP or SIGQUIT takes it away as a normal end does, then ends the program by that signal.
TEST(CheckProgramTest, ReloadScratchFolderIsPrivateAndGoesWithTheSignal) {
  namespace fs = std::filesystem;
  test_support::ServerFolder server;
  std::string config = R"({"ChatCommands": [)";
  for (int i = 0; i < 20000; ++i) {
    config += (i > 0 ? ", " : "") + std::string(R"({"Command": "/c)") + std::to_string(i) +
              R"(", "Type": "ClientChat", "Reply": "r"})";
  }
  server.WriteConfig(config + "]}");
  fs::permissions(server.ConfigPath(), fs::perms(0640));
  const fs::path temporary = fs::path(server.Path()) / "tmp";
  fs::create_directory(temporary);
  for (const int signal : {SIGTERM, SIGHUP, SIGQUIT}) {
    // No core file from SIGQUIT.
    test_support::BackgroundProgram devhost("--check --reload-from '" +
                                                server.ConfigPath().string() + "' --server-dir '" +
                                                server.Path() + "'",
                                            "ulimit -c 0; TMPDIR='" + temporary.string() + "' ");
    ASSERT_TRUE(devhost.Started());
    // Watched until a copy stands in the scratch folder, for at most ten seconds.
    std::optional<fs::perms> folder_mode;
    std::optional<fs::perms> copy_mode;
    for (int wait = 0; wait < 10000 && !copy_mode; ++wait) {
      std::error_code error;
      for (const auto& item : fs::directory_iterator(temporary, error)) {
        folder_mode = fs::status(item.path(), error).permissions();
        const fs::file_status copy =
            fs::status(item.path() / "ArkApi/Plugins/Quorvane/config.json", error);
        if (fs::exists(copy)) {
          copy_mode = copy.permissions();
        }
      }
      if (!copy_mode) {
        usleep(1000);
      }
    }
    const int status = devhost.Stop(signal);
    ASSERT_TRUE(copy_mode.has_value()) << "no scratch copy appeared; signal " << signal;
    EXPECT_EQ(*folder_mode, fs::perms::owner_all);
    EXPECT_EQ(*copy_mode & ~fs::perms(0640), fs::perms::none);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_TRUE(fs::is_empty(temporary)) << signal << ": " << FolderNames(temporary).front();
  }
}

// --watch checks once, then once per change to config.json: a write, an editor's save (a backup,
// then a temporary file renamed over it), a removal (reported missing) and the file made again.
// Neither the page it rewrites beside config.json nor the editor's other files start a run.
// Ctrl-C ends it with the last run's status.
TEST(CheckProgramTest, WatchChecksOncePerChangeUntilCtrlC) {
  namespace fs = std::filesystem;
  test_support::ServerFolder server;
  // `count` commands; the last without its '/' (a warning) when `slashless`.
  const auto commands = [](int count, bool slashless) {
    std::string config = R"({"ChatCommands": [)";
    for (int i = 0; i < count; ++i) {
      config += (i > 0 ? ", " : "") + std::string(R"({"Command": ")") +
                (slashless && i == count - 1 ? "" : "/") + "cmd" + std::to_string(i) +
                R"(", "Type": "ClientChat", "Reply": "r"})";
    }
    return config + "]}";
  };
  server.WriteConfig(commands(1, false));
  const fs::path folder = server.ConfigPath().parent_path();
  const fs::path out = fs::path(server.Path()) / "watch.jsonl";
  const fs::path page = folder / "page.html";
  test_support::BackgroundProgram devhost("--check --watch --json --html '" + page.string() +
                                          "' --server-dir '" + server.Path() + "' >'" +
                                          out.string() + "'");
  ASSERT_TRUE(devhost.Started());
  // Each run's commands and status, once there are `count` runs (for at most twenty seconds).
  const auto runs = [&](std::size_t count) {
    std::vector<std::pair<int, int>> summaries;
    for (int wait = 0; wait < 2000 && summaries.size() < count; ++wait) {
      usleep(10000);
      const std::string bytes = Bytes(out);
      summaries.clear();
      for (const json& line :
           Select(JsonLines(bytes.substr(0, bytes.rfind('\n') + 1)), "summary")) {
        summaries.emplace_back(line["commands"].get<int>(), line["exit_status"].get<int>());
      }
    }
    return summaries;
  };
  using Runs = std::vector<std::pair<int, int>>;
  ASSERT_EQ(runs(1), (Runs{{1, 0}}));

  server.WriteConfig(commands(2, true));
  ASSERT_EQ(runs(2), (Runs{{1, 0}, {2, 1}}));

  std::ofstream(folder / "config.json~") << Bytes(server.ConfigPath());
  std::ofstream(folder / "config.json.new") << commands(3, false);
  fs::rename(folder / "config.json.new", server.ConfigPath());
  ASSERT_EQ(runs(3), (Runs{{1, 0}, {2, 1}, {3, 0}}));

  server.RemoveConfig();
  ASSERT_EQ(runs(4), (Runs{{1, 0}, {2, 1}, {3, 0}, {0, 2}}));

  server.WriteConfig(commands(4, true));
  ASSERT_EQ(runs(5), (Runs{{1, 0}, {2, 1}, {3, 0}, {0, 2}, {4, 1}}));
  // A run that should not be, such as one the page's rewrite started, would show by now.
  usleep(1000000);
  const int status = devhost.Stop(SIGINT);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_EQ(runs(5).size(), 5u);
  EXPECT_NE(Bytes(page).find("cmd3"), std::string::npos);
}

}  // namespace
