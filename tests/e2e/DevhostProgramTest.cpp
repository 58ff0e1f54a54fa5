// The `devhost` program as an operator runs it: its output, compared line by line, and its
// exit codes.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "devhost/catalogue/FindingWords.h"
#include "devhost/findings/FindingCodes.h"
#include "tests/support/LogTime.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ServerFolder.h"
#include "tests/support/TestSupport.h"

namespace {

using Lines = std::vector<std::string>;

struct DevhostRun {
  int exit_code = -1;
  Lines out;  // standard output, log timestamps replaced by "TIME"
  std::string err;
};

// `before` runs in the same shell first, e.g. "ulimit -f 1; ".
DevhostRun RunDevhost(const std::string& arguments, const std::string& error_file,
                      const std::string& before = "") {
  const test_support::ProgramRun shell = test_support::RunProgram(arguments, error_file, before);
  DevhostRun run;
  run.exit_code = shell.exit_code;
  std::istringstream lines(test_support::MaskedTimes(shell.out));
  for (std::string line; std::getline(lines, line);) {
    run.out.push_back(line);
  }
  if (std::filesystem::is_regular_file(error_file)) {  // not /dev/full
    std::ifstream err(error_file);
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
  }
  return run;
}

using test_support::Bytes;
using test_support::FolderNames;

class DevhostProgramTest : public ::testing::Test {
 protected:
  std::string InFolder(const std::string& name, const std::string& content = "") {
    const std::string path = server_.Path() + "/" + name;
    std::ofstream(path) << content;
    return path;
  }
  test_support::ServerFolder server_;
};

TEST_F(DevhostProgramTest, JsonSessionShowsEveryEventInOrder) {
  server_.WriteConfig(R"({"ChatCommands":[
    {"Command":"/rules","Type":"ServerChat","Reply":"Bienvenue \u00e0 bord {{ok}}",
     "Color":[0.1,0.5,0,1]},
    {"Command":"/help","Type":"ClientChat","Reply":"Ask"},
    {"Command":"/wipe","Type":"Notification","Reply":"Friday","Color":[1,1,1,0.75],
     "DisplayScale":-1e39,"DisplayTime":1e39},
    {"Command":"/broken","Type":"ServerChat","Reply":"x","Color":[1,1]}]})");
  // Windows editors begin the file with a byte-order mark.
  const std::string script = InFolder("session.txt",
                                      "\xEF\xBB\xBF# a comment\n"
                                      "alice: /rules\n"
                                      "bob: /HELP with words\n"
                                      "\n"
                                      "alice: /wipe\n"
                                      "alice: /broken\n"
                                      "carol: hello there\n"
                                      "this line is wrong\n"
                                      ": /rules\n"
                                      "al ice: /rules\n"
                                      "alice> Quorvane.Reload\n"
                                      "> Quorvane.Reload\n"
                                      "> nothing here\n");
  const DevhostRun run =
      RunDevhost("--server-dir '" + server_.Path() + "' --json --script '" + script + "'",
                 InFolder("stderr.txt"));
  const std::string broken = "[json.exception.type_error.302] type must be number, but is null";
  EXPECT_EQ(
      run.out,
      (Lines{
          R"({"event":"start","kind":"start","ok":true,"chat_commands":["/rules","/help","/wipe",)"
          R"("/broken"],"console_commands":["Quorvane.Reload"]})",
          R"({"event":"message","kind":"message","player":"alice","type":"ServerChat","text":)"
          "\"Bienvenue \xC3\xA0 bord {ok}\","
          R"("color":[0.1,0.5,0.0,1.0],"bold":false})",
          R"({"event":"message","kind":"message","player":"bob","type":"ClientChat","sender":"Server",)"
          R"("text":"Ask"})",
          R"({"event":"message","kind":"message","player":"alice","type":"Notification","text":"Friday",)"
          // JSON has no infinities: what the game receives is written as text.
          R"("color":[1.0,1.0,1.0,0.75],"scale":"-inf","time":"inf"})",
          R"({"event":"log","kind":"log","line":"TIME [devhost][error] command /broken failed: )" +
              broken + "\"}",
          R"({"event":"command_failed","kind":"command_failed","player":"alice","command":"/broken","error":")" +
              broken + R"(","reason":"\"Color\" has 2 elements; it needs four: R, G, B, A"})",
          R"({"event":"unmatched","kind":"unmatched","player":"carol","text":"hello there"})",
          R"({"event":"invalid_line","kind":"invalid_line","line":8,"text":"this line is wrong",)"
          R"("reason":"no ':' or '>' after a player name"})",
          R"({"event":"invalid_line","kind":"invalid_line","line":9,"text":": /rules",)"
          R"("reason":"no player name before ':'"})",
          R"({"event":"invalid_line","kind":"invalid_line","line":10,"text":"al ice: /rules",)"
          R"("reason":"the player name contains a blank"})",
          R"({"event":"message","kind":"message","player":"alice","type":"ServerChat",)"
          R"("text":"Reloaded config","color":[0.0,1.0,0.0,1.0],"bold":false})",
          R"({"event":"console_answer","kind":"console_answer","command":"Quorvane.Reload",)"
          R"("ok":true,"text":"Reloaded config"})",
          R"({"event":"unmatched","kind":"unmatched","player":null,"text":"nothing here"})",
          R"({"event":"exit","kind":"exit","live_allocations":0})"}));
  // Invalid lines make the run fail; people are told on standard error.
  EXPECT_EQ(run.exit_code, 4);
  const DevhostRun human = RunDevhost(
      "--server-dir '" + server_.Path() + "' --script '" + script + "'", InFolder("stderr.txt"));
  EXPECT_NE(human.err.find("line 9: not a session line (no player name before ':'"),
            std::string::npos)
      << human.err;
  EXPECT_EQ(human.exit_code, 4);
}

TEST_F(DevhostProgramTest, ExampleServerSessionFromStandardInput) {
  const std::string examples = QUORVANE_EXAMPLES_DIR;
  const DevhostRun run =
      RunDevhost("--server-dir '" + examples + "/server' --json < '" + examples + "/session.txt'",
                 InFolder("stderr.txt"));
  EXPECT_EQ(
      run.out,
      (Lines{
          R"({"event":"start","kind":"start","ok":true,"chat_commands":["/rules","/help","/wipe"],)"
          R"("console_commands":["Quorvane.Reload"]})",
          R"({"event":"message","kind":"message","player":"alice","type":"ServerChat","text":)"
          R"("No building next to the spawn points.","color":[1.0,0.5,0.0,1.0],)"
          R"("bold":false})",
          R"({"event":"message","kind":"message","player":"bob","type":"ClientChat","sender":"Server",)"
          R"("text":"Commands: /rules and /wipe"})",
          R"({"event":"message","kind":"message","player":"alice","type":"Notification",)"
          R"("text":"Next wipe on Friday","color":[1.0,1.0,1.0,1.0],"scale":1.5,)"
          R"("time":10.0})",
          R"({"event":"message","kind":"message","player":"alice","type":"ServerChat",)"
          R"("text":"Reloaded config","color":[0.0,1.0,0.0,1.0],"bold":false})",
          R"({"event":"exit","kind":"exit","live_allocations":0})"}));
  EXPECT_EQ(run.exit_code, 0);
}

TEST_F(DevhostProgramTest, FailedStartRegistersNothingAndExitsTwo) {
  const std::string error_file = InFolder("stderr.txt");
  const DevhostRun human =
      RunDevhost("--server-dir '" + server_.Path() + "' < /dev/null", error_file);
  const std::regex plugin_line(R"(TIME \[Quorvane\]\[error\] Can't open config.json)");
  EXPECT_EQ(
      std::count_if(human.out.begin(), human.out.end(),
                    [&](const std::string& line) { return std::regex_match(line, plugin_line); }),
      1)
      << ::testing::PrintToString(human.out);
  EXPECT_EQ(human.exit_code, 2);

  // A start that fails registers nothing at all, whichever step failed.
  const std::string kEntryError =
      "[json.exception.type_error.305] cannot use operator[] with number";
  const Lines cannot_open = {
      R"({"event":"log","kind":"log","line":"TIME [Quorvane][error] Can't open config.json"})",
      R"({"event":"log","kind":"log","line":"TIME [devhost][error] plugin failed to start: )"
      R"(Can't open config.json"})",
      R"({"event":"start","kind":"start","ok":false,"error":"Can't open config.json",)"
      R"("chat_commands":[],"console_commands":[]})",
      R"({"event":"exit","kind":"exit","live_allocations":0})"};
  const struct {
    const char* name;
    std::function<void()> make;
    Lines expected;
  } cases[] = {
      {"missing", [] {}, cannot_open},
      {"FIFO", [this] { EXPECT_TRUE(server_.MakeConfigFifo()); }, cannot_open},
      {"third entry 7",
       [this] { server_.WriteConfig(R"({"ChatCommands":[{"Command":"/a"},{"Command":"/b"},7]})"); },
       {R"({"event":"log","kind":"log","line":"TIME [devhost][error] plugin failed to start: )" +
            kEntryError + R"("})",
        R"({"event":"start","kind":"start","ok":false,"error":")" + kEntryError +
            R"(","chat_commands":[],"console_commands":[]})",
        R"({"event":"exit","kind":"exit","live_allocations":0})"}},
  };
  for (const auto& c : cases) {
    c.make();
    const auto started = std::chrono::steady_clock::now();
    const DevhostRun json =
        RunDevhost("--server-dir '" + server_.Path() + "' --json < /dev/null", error_file);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << c.name;
    EXPECT_EQ(json.out, c.expected) << c.name;
    EXPECT_EQ(json.exit_code, 2) << c.name;
  }
}

// Names from the configuration and the script reach people escaped, whichever line shows them.
TEST_F(DevhostProgramTest, NamesAndCommandsReachPeopleEscaped) {
  server_.WriteConfig(R"({"ChatCommands":[
    {"Command":"/a\u001b[2J","Type":"ClientChat","Reply":"x"},
    {"Command":"/b\u0007","Type":"ClientChat","Reply":"{"}]})");
  const std::string script = InFolder("session.txt",
                                      "al\x1b]0;title\x07ice: /a\x1b[2J\n"
                                      "bob\x1b[31m: /nothing\n"
                                      "carol: /b\x07\n");
  const DevhostRun run = RunDevhost(
      "--server-dir '" + server_.Path() + "' --script '" + script + "'", InFolder("stderr.txt"));
  std::string out;
  for (const std::string& line : run.out) {
    out += line + "\n";
  }
  EXPECT_EQ(out.find_first_of("\x1b\x07"), std::string::npos) << out;
  for (const char* shown : {"chat commands: /a\\x1b[2J, /b\\x07;", "[al\\x1b]0;title\\x07ice]",
                            "from bob\\x1b[31m", "command /b\\x07 failed"}) {
    EXPECT_NE(out.find(shown), std::string::npos) << shown << "\n" << out;
  }
}

// A failure to read or write has its own status and one line that says where and why; a
// session plays to its end all the same. Usage errors have theirs.
TEST_F(DevhostProgramTest, FailuresToReadOrWriteHaveTheirOwnStatus) {
  const std::string examples = QUORVANE_EXAMPLES_DIR;
  const std::string session = "--server-dir '" + examples + "/server' --script ";
  const std::string bad_first = InFolder("bad.txt", "not a line\nalice: /rules\n");
  const std::string stderr_file = InFolder("stderr.txt");
  const struct {
    std::string arguments;
    std::string error_file;
    int status;
    std::string said;
  } cases[] = {
      {session + "'" + examples + "/session.txt' >/dev/full", stderr_file, 6,
       "devhost: cannot write standard output: No space left on device"},
      {"--check --server-dir '" + examples + "/server' --json >/dev/full", stderr_file, 6,
       "devhost: cannot write standard output: No space left on device"},
      {"--version >/dev/full", stderr_file, 6, "cannot write standard output"},
      {session + "'" + bad_first + "'", "/dev/full", 6, ""},
      {session + "'" + server_.Path() + "/none.txt'", stderr_file, 5,
       "devhost: cannot read " + server_.Path() + "/none.txt: No such file or directory"},
      {session + "'" + server_.Path() + "'", stderr_file, 5, "it is a folder"},
      {"--check --html '' --server-dir '" + examples + "/server'", stderr_file, 64,
       "--html: the file name is empty"},
      {"--no-such-option", stderr_file, 64, "--no-such-option"},
  };
  for (const auto& c : cases) {
    const DevhostRun run = RunDevhost(c.arguments, c.error_file);
    EXPECT_EQ(run.exit_code, c.status) << c.arguments;
    if (c.error_file == stderr_file) {
      EXPECT_NE(run.err.find(c.said), std::string::npos) << c.arguments << "\n" << run.err;
    }
  }
  // Standard error lost: the session still plays the line after the invalid one.
  const DevhostRun lost = RunDevhost(session + "'" + bad_first + "'", "/dev/full");
  EXPECT_EQ(lost.out.at(1).rfind("[alice] ServerChat", 0), 0u)
      << ::testing::PrintToString(lost.out);
}

// Out of memory ends with a message and a status of its own, not an abort. Linux only, and
// not under a sanitizer, which needs more address space than the limit.
TEST_F(DevhostProgramTest, OutOfMemoryIsSaidAndExitsSeventy) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a memory limit and a sanitizer do not mix";
#endif
  // One endless line: /dev/zero never ends it.
  const DevhostRun run = RunDevhost(
      "--server-dir '" + std::string(QUORVANE_EXAMPLES_DIR) + "/server' --script /dev/zero",
      InFolder("stderr.txt"), "ulimit -v 400000; ");
  EXPECT_EQ(run.exit_code, 70);
  EXPECT_EQ(run.err, "devhost: out of memory\n");
}

// The lines that match `pattern`, each as its captures joined by blanks, backticks dropped.
Lines Matches(const Lines& lines, const std::string& pattern) {
  const std::regex row(pattern);
  Lines matches;
  for (const std::string& line : lines) {
    std::smatch match;
    if (std::regex_match(line, match, row)) {
      std::string joined = match[1].str();
      for (std::size_t i = 2; i < match.size(); ++i) {
        joined += " " + match[i].str();
      }
      matches.push_back(std::regex_replace(joined, std::regex("`"), ""));
    }
  }
  return matches;
}

// The operator's README, as the archives carry it before the platform's commands are filled in.
Lines ReadmeLines() {
  std::ifstream readme(std::filesystem::path(QUORVANE_EXAMPLES_DIR).parent_path() / "docs" /
                       "operator" / "README.md.in");
  Lines lines;
  for (std::string line; std::getline(readme, line);) {
    lines.push_back(line);
  }
  return lines;
}

// The operator README's table of exit statuses is the program's own, which --help prints.
TEST_F(DevhostProgramTest, ReadmeExitStatusTableIsTheProgramsOwn) {
  const DevhostRun help = RunDevhost("--help", InFolder("stderr.txt"));
  EXPECT_EQ(help.exit_code, 0);
  const Lines listed = Matches(help.out, R"(^ +(\d+)  (.*)$)");
  EXPECT_FALSE(listed.empty());
  EXPECT_EQ(Matches(ReadmeLines(), R"(^\| (\d+) \| (.*) \|$)"), listed);
}

// The operator README's table of finding codes is the check's own.
TEST_F(DevhostProgramTest, ReadmeFindingCodesAreTheChecksOwn) {
  Lines listed;
  for (const devhost::FindingCode* code : devhost::kFindingCodes) {
    listed.push_back(std::string(code->code) + " " + devhost::SeverityWord(code->severity) + " " +
                     std::string(devhost::MeaningOf(code->code)));
  }
  EXPECT_EQ(Matches(ReadmeLines(), R"(^\| `([a-z_]+)` \| (\w+) \| (.*) \|$)"), listed);
}

// --init writes only a starter file of its own, whole, where nothing stands, and never through
// what the plugin cannot read.
TEST_F(DevhostProgramTest, InitPlacesWholeFilesWhereNothingStands) {
  namespace fs = std::filesystem;
  const fs::path plugin_folder = server_.ConfigPath().parent_path();
  const auto init = [&](const std::string& before = "") {
    return RunDevhost("--init --server-dir '" + server_.Path() + "'", InFolder("stderr.txt"),
                      before);
  };
  const struct {
    const char* name;
    std::function<void()> make;
    const char* said;
  } refused[] = {
      {"dangling link", [&] { fs::create_symlink("nowhere.json", server_.ConfigPath()); },
       "is a link to a missing file"},
      {"link to a folder", [&] { fs::create_symlink(".", server_.ConfigPath()); },
       "is a link to a folder"},
      {"FIFO", [&] { EXPECT_TRUE(server_.MakeConfigFifo()); }, "is a FIFO, not a regular file"},
      {"folder", [&] { fs::create_directory(server_.ConfigPath()); }, "is a folder, not a file"},
  };
  for (const auto& c : refused) {
    fs::remove_all(plugin_folder);
    fs::create_directories(plugin_folder);
    c.make();
    const DevhostRun run = init();
    EXPECT_EQ(run.exit_code, 1) << c.name;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << c.name << ": " << run.err;
  }

  // A copy cut short by the file size limit (1024 bytes: the starter config.json fits, its
  // schema does not) leaves no file, so the next --init copies it.
  fs::remove_all(plugin_folder);
  const DevhostRun limited = init("ulimit -f 2; umask 027; ");
  EXPECT_EQ(limited.exit_code, 1);
  EXPECT_NE(limited.err.find("config.schema.json: File too large"), std::string::npos)
      << limited.err;
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(plugin_folder)) {
    names.push_back(item.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"config.json"});
  EXPECT_EQ(fs::status(server_.ConfigPath()).permissions(), fs::perms(0640));
  const DevhostRun again =
      RunDevhost("--init --json --server-dir '" + server_.Path() + "'", InFolder("stderr.txt"));
  EXPECT_EQ(again.exit_code, 0);
  ASSERT_EQ(again.out.size(), 4u);
  EXPECT_NE(again.out[0].find(R"("result":"kept")"), std::string::npos) << again.out[0];
  EXPECT_NE(again.out[1].find(R"("result":"copied")"), std::string::npos) << again.out[1];
  EXPECT_EQ(again.out[3], R"({"finding":"summary","kind":"summary","exit_status":0})");
}

// A fresh --init checks clean and says what comes next; a schema left from an older toolkit is
// named, and --update-schema replaces that one file, never config.json and never a link.
TEST_F(DevhostProgramTest, InitGuidesTheOperatorAndRefreshesOnlyTheSchema) {
  namespace fs = std::filesystem;
  const fs::path schema = server_.ConfigPath().parent_path() / "config.schema.json";
  const std::string errors = InFolder("stderr.txt");
  const std::string folder = " --server-dir '" + server_.Path() + "'";
  const auto text = [](const DevhostRun& run) {
    std::string all;
    for (const std::string& line : run.out) {
      all += line + "\n";
    }
    return all;
  };

  const DevhostRun fresh = RunDevhost("--init" + folder, errors);
  EXPECT_EQ(fresh.exit_code, 0) << fresh.err;
  for (const char* said : {"There was no ArkApi/ folder in ", "the host's working directory",
                           "1. Edit " /* the file */, "2. Check it: ", " --check --server-dir ",
                           "console command Quorvane.Reload"}) {
    EXPECT_NE(text(fresh).find(said), std::string::npos) << said << "\n" << text(fresh);
  }
  const DevhostRun check = RunDevhost("--check --json" + folder, errors);
  EXPECT_EQ(check.exit_code, 0);
  EXPECT_EQ(text(check).find(R"("finding":"config")"), std::string::npos) << text(check);

  const std::string config_before = Bytes(server_.ConfigPath());
  std::ofstream(schema, std::ios::trunc) << "{}";
  const DevhostRun kept = RunDevhost("--init --json" + folder, errors);
  EXPECT_EQ(kept.exit_code, 0);
  ASSERT_EQ(kept.out.size(), 4u) << text(kept);
  EXPECT_NE(kept.out[1].find(R"("result":"kept",)"), std::string::npos) << kept.out[1];
  EXPECT_NE(kept.out[1].find(R"("differs":true)"), std::string::npos) << kept.out[1];
  EXPECT_NE(kept.out[2].find(R"({"finding":"next_steps","kind":"next_steps","edit":)"),
            std::string::npos)
      << kept.out[2];
  EXPECT_NE(kept.out[2].find(R"("had_arkapi":true)"), std::string::npos) << kept.out[2];
  EXPECT_NE(RunDevhost("--init" + folder, errors).out[1].find("--init --update-schema"),
            std::string::npos);

  const DevhostRun replaced = RunDevhost("--init --update-schema" + folder, errors);
  EXPECT_EQ(replaced.exit_code, 0);
  EXPECT_EQ(replaced.out[1].rfind("replaced " + schema.string() + " (from ", 0), 0u)
      << replaced.out[1];
  EXPECT_EQ(Bytes(schema), Bytes(fs::path(QUORVANE_EXAMPLES_DIR) / "config.schema.json"));
  EXPECT_EQ(Bytes(server_.ConfigPath()), config_before);

  // A link is the operator's: neither followed nor replaced.
  const fs::path elsewhere = InFolder("elsewhere.json", "{}");
  fs::remove(schema);
  fs::create_symlink(elsewhere, schema);
  const DevhostRun linked = RunDevhost("--init --update-schema" + folder, errors);
  EXPECT_EQ(linked.exit_code, 1);
  EXPECT_NE(linked.err.find("is a symbolic link, which --update-schema neither writes through"),
            std::string::npos)
      << linked.err;
  EXPECT_TRUE(fs::is_symlink(schema));
  EXPECT_EQ(Bytes(elsewhere), "{}");
  EXPECT_EQ(FolderNames(schema.parent_path()),
            (std::vector<std::string>{"config.json", "config.schema.json"}));
}

// --help names what each option takes, and a misspelt option gets the nearest right one.
TEST_F(DevhostProgramTest, CommandLineNamesItsPlaceholdersAndSuggestsOptions) {
  const std::string errors = InFolder("stderr.txt");
  std::string help;
  for (const std::string& line : RunDevhost("--help", errors).out) {
    help += line + "\n";
  }
  for (const char* option : {"--server-dir DIR ", "--plugin FILE ", "--script FILE ",
                             "--html FILE ", "--reload-from OLD "}) {
    EXPECT_NE(help.find(option), std::string::npos) << option << "\n" << help;
  }
  const struct {
    const char* arguments;
    const char* said;  // null: no suggestion
  } typos[] = {
      {"--chek", "argument was not expected: --chek; did you mean --check?\n"},
      {"--check --jsno", "--jsno; did you mean --json?\n"},
      {"--check --plugn x", "did you mean --plugin?"},
      {"--init --server-dir . --update-shema", "did you mean --update-schema?"},
      {"--nothing-like-it", nullptr},
  };
  for (const auto& c : typos) {
    const DevhostRun run = RunDevhost(c.arguments, errors);
    EXPECT_EQ(run.exit_code, 64) << c.arguments;
    EXPECT_EQ(run.err.find("did you mean") != std::string::npos, c.said != nullptr)
        << c.arguments << ": " << run.err;
    if (c.said != nullptr) {
      EXPECT_NE(run.err.find(c.said), std::string::npos) << c.arguments << ": " << run.err;
    }
  }
}

}  // namespace
