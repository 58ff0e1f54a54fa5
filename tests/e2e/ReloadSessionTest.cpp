// The built plugin under the development host, as a server runs it: replies, reloads of every
// kind, a start with a bad entry, and the entry point's notification codes.

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bridge/DllEntry.h"
#include "devhost/host/PluginLoader.h"
#include "devhost/session/EventWriter.h"
#include "devhost/session/Session.h"
#include "devhost/session/SessionReading.h"
#include "tests/support/Recordings.h"

namespace {

using Status = devhost::DispatchResult::Status;
using Lines = std::vector<std::string>;

constexpr const char* kStartConfig = R"({"ChatCommands":[
  {"Command":"/rules","Type":"ServerChat","Reply":"Rules v1","Color":[1,0.5,0,1]},
  {"Command":"/help","Type":"ClientChat","Reply":"Help v1"},
  {"Command":"/wipe","Type":"Notification","Reply":"Wipe v1","Color":[1,1,1,1],
   "DisplayScale":1.5,"DisplayTime":10}]})";

// Everything a session shows, in order: screens, log lines (timestamp cut off), failures.
class ReloadSessionTest : public test_support::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    test_support::RecordEvents(
        events_, [](const AShooterPlayerController& player, const devhost::ScreenMessage& message) {
          return player.Name() + " " + devhost::KindName(message.kind) + " " +
                 test_support::Utf8(message.text);
        });
  }
  void TearDown() override {
    plugin_.reset();
    HostTest::TearDown();
  }
  bool Load() {
    plugin_ = devhost::LoadedPlugin::Load(QUORVANE_PLUGIN_PATH, report_);
    return plugin_ != nullptr;
  }
  void Type(const std::string& line) {
    const auto result = host().DispatchChat(&Player(), line);
    if (result.status == Status::Unmatched) {
      events_.push_back("unmatched " + line);
    }
  }

  Lines events_;
  devhost::StartReport report_;
  std::unique_ptr<devhost::LoadedPlugin> plugin_;
};

TEST_F(ReloadSessionTest, RepliesFollowEachReloadAndAFailedOneKeepsTheLastGoodFile) {
  server_.WriteConfig(kStartConfig);
  ASSERT_TRUE(Load()) << report_.error;
  for (const char* line : {"/rules", "/HELP me", "/wipe"}) {
    Type(line);
  }
  EXPECT_EQ(events_, (Lines{"alice ServerChat Rules v1", "alice ClientChat Help v1",
                            "alice Notification Wipe v1"}));
  constexpr const char* kGonePosition =
      "log [devhost][error] command /rules failed: [json.exception.type_error.302] type must be "
      "string, but is null";
  const struct {
    const char* file;  // null: the file is gone
    Lines typed;
    Lines expected;
  } reloads[] = {
      // A changed reply answers at once; an entry added after start gets no command.
      {R"({"ChatCommands":[{"Command":"/rules","Type":"ServerChat","Reply":"Rules v2",
           "Color":[1,1,1,1]},{"Command":"/help"},{"Command":"/wipe"},
           {"Command":"/new","Type":"ClientChat","Reply":"New"}]})",
       {"/rules", "/new"},
       {"alice ServerChat Reloaded config", "alice ServerChat Rules v2", "unmatched /new"}},
      {R"({"ChatCommands":[{"Command":"/rules","Type":)",
       {"/rules"},
       {"alice ServerChat Failed to reload config",
        "log [Quorvane][error] [json.exception.parse_error.101] parse error at 45: syntax error - "
        "unexpected end of input; expected '[', '{', or a literal",
        "alice ServerChat Rules v2"}},
      {nullptr,
       {"/rules"},
       {"alice ServerChat Failed to reload config", "log [Quorvane][error] Can't open config.json",
        "alice ServerChat Rules v2"}},
      // A file that start-up would refuse is refused alike: red, and the old replies stay.
      {R"([])",
       {"/rules"},
       {"alice ServerChat Failed to reload config",
        "log [Quorvane][error] [json.exception.type_error.305] cannot use operator[] with "
        "array",
        "alice ServerChat Rules v2"}},
      {R"("text")",
       {"/rules"},
       {"alice ServerChat Failed to reload config",
        "log [Quorvane][error] [json.exception.type_error.305] cannot use operator[] with "
        "string",
        "alice ServerChat Rules v2"}},
      {R"({"ChatCommands":"s"})",
       {"/rules"},
       {"alice ServerChat Failed to reload config",
        "log [Quorvane][error] [json.exception.type_error.305] cannot use operator[] with "
        "string",
        "alice ServerChat Rules v2"}},
      {R"({"ChatCommands":[1,2]})",
       {"/rules"},
       {"alice ServerChat Failed to reload config",
        "log [Quorvane][error] [json.exception.type_error.305] cannot use operator[] with "
        "number",
        "alice ServerChat Rules v2"}},
      {R"({"ChatCommands":[{"Command":5}]})",
       {"/rules"},
       {"alice ServerChat Failed to reload config",
        "log [Quorvane][error] [json.exception.type_error.302] type must be string, but is number",
        "alice ServerChat Rules v2"}},
      {R"({"ChatCommands":[{"Command":"/x","Type":"ClientChat","Reply":"Only one"}]})",
       {"/rules", "/wipe"},
       {"alice ServerChat Reloaded config", "alice ClientChat Only one",
        "log [devhost][error] command /wipe failed: [json.exception.type_error.302] type must "
        "be string, but is null"}},
      {R"({"ChatCommands":{"a":{"Command":"/rules","Type":"ClientChat"}}})",
       {"/rules"},
       {"alice ServerChat Reloaded config",
        "log [devhost][error] command /rules failed: [json.exception.type_error.305] cannot "
        "use operator[] with object"}},
      // Files that start-up accepts with no command: green, and every position is gone.
      {R"({})", {"/rules"}, {"alice ServerChat Reloaded config", kGonePosition}},
      {R"(null)", {"/rules"}, {"alice ServerChat Reloaded config", kGonePosition}},
      {R"({"ChatCommands":null})", {"/rules"}, {"alice ServerChat Reloaded config", kGonePosition}},
  };
  for (const auto& reload : reloads) {
    events_.clear();
    if (reload.file == nullptr) {
      server_.RemoveConfig();
    } else {
      server_.WriteConfig(reload.file);
    }
    host().DispatchConsole(&Player(), "Quorvane.Reload");
    for (const auto& line : reload.typed) {
      Type(line);
    }
    EXPECT_EQ(events_, reload.expected) << (reload.file ? reload.file : "no file");
  }
}

// A session explains from its own reading of config.json, taken at start and renewed by each
// reload that answers green: why a command sent nothing or failed, that a command of the file
// takes effect at the next start, and what the server console's reload answered.
TEST_F(ReloadSessionTest, SessionsSayWhatHappenedFromTheirReadingOfTheFile) {
  server_.WriteConfig(R"({"ChatCommands":[
    {"Command":"/rules","Type":"ServerChat","Reply":"Rules","Color":[1,1,1,1]},
    {"Command":"/odd","Type":"serverchat","Reply":"x"},
    {"Command":"/short","Type":"ServerChat","Reply":"x","Color":[0,1,0]}]})");
  ASSERT_TRUE(Load()) << report_.error;
  constexpr const char* kWithNew = R"({"ChatCommands":[
    {"Command":"/rules","Type":"ServerChat","Reply":"Rules {x}","Color":[1,1,1,1]},
    {"Command":"/odd","Type":"ClientChat","Reply":"x"},
    {"Command":"/short","Type":"ServerChat","Reply":"x","Color":[0,1,0]},
    {"Command":"/New","Type":"ClientChat","Reply":"New"}]})";
  const std::string failed =
      R"({"event":"command_failed","kind":"command_failed","player":"alice","command":)";
  const std::string unmatched =
      R"({"event":"unmatched","kind":"unmatched","player":"alice","text":"/new")";
  const std::string answer =
      R"({"event":"console_answer","kind":"console_answer","command":"Quorvane.Reload",)";
  const std::string short_error =
      "[json.exception.type_error.302] type must be number, but is null";
  const struct {
    const char* file;  // written before the line is played; null: left as it is
    const char* line;
    std::string json;  // the line the session adds; empty: none
    std::string text;
  } steps[] = {
      {nullptr, "alice: /rules", "", ""},
      {nullptr, "bob: /ODD now",
       R"({"event":"nothing_sent","kind":"nothing_sent","player":"bob","command":"/odd",)"
       R"("reason":"Type \"serverchat\" is none of ServerChat, ClientChat, Notification"})",
       R"(devhost: /odd from bob sends nothing: Type "serverchat" is none of ServerChat, )"
       "ClientChat, Notification"},
      {nullptr, "alice: /short",
       failed + R"("/short","error":")" + short_error +
           R"(","reason":"\"Color\" has 3 elements; it needs four: R, G, B, A"})",
       R"(devhost: /short failed because "Color" has 3 elements; it needs four: R, G, B, A)"},
      // The file has /New now, but the session has not read it since start.
      {kWithNew, "alice: /new", unmatched + "}",
       R"(devhost: no command matches "/new" from alice)"},
      {nullptr, "> Quorvane.Reload", answer + R"("ok":true,"text":"Reloaded config"})",
       "devhost: the server console's answer, in green: Reloaded config"},
      {nullptr, "alice: /new", unmatched + R"(,"registered_at_next_start":true})",
       R"(devhost: no command matches "/new" from alice; config.json has it, and it takes )"
       "effect at the next start"},
      {nullptr, "alice: /rules",
       failed + R"("/rules","error":"argument not found","reason":"\"Reply\" holds a single )"
                R"(brace, which fails formatting; write literal braces doubled: \"Rules {{x}}\""})",
       R"(devhost: /rules failed because "Reply" holds a single brace, which fails formatting; )"
       R"(write literal braces doubled: "Rules {{x}}")"},
      // A red reload keeps the reading; a player's green one renews it.
      {"{", "> Quorvane.Reload", answer + R"("ok":false,"text":"Failed to reload config"})",
       "devhost: the server console's answer, in red: Failed to reload config"},
      {nullptr, "alice: /new", unmatched + R"(,"registered_at_next_start":true})",
       R"(devhost: no command matches "/new" from alice; config.json has it, and it takes )"
       "effect at the next start"},
      {R"({"ChatCommands":[{"Command":"/rules","Type":"ClientChat","Reply":"R"}]})",
       "alice> Quorvane.Reload", "", ""},
      {nullptr, "alice: /short",
       failed + R"("/short","error":"[json.exception.type_error.302] type must be string, but )"
                R"(is null","reason":"its entry is gone: it was registered for entry 2 at start, )"
                R"(and config.json has 1 entry since the last reload; a restart registers the )"
                R"(file's commands"})",
       "devhost: /short failed because its entry is gone: it was registered for entry 2 at "
       "start, and config.json has 1 entry since the last reload; a restart registers the "
       "file's commands"},
      {nullptr, "alice: /new", unmatched + "}", R"(devhost: no command matches "/new" from alice)"},
  };
  // The same lines, played for programs and for people.
  const std::string paths[] = {server_.Path() + "/session.jsonl", server_.Path() + "/session.txt"};
  std::FILE* outputs[] = {std::fopen(paths[0].c_str(), "wb"), std::fopen(paths[1].c_str(), "wb")};
  ASSERT_NE(outputs[0], nullptr);
  ASSERT_NE(outputs[1], nullptr);
  const std::unique_ptr<devhost::EventWriter> writers[] = {devhost::MakeJsonWriter(outputs[0]),
                                                           devhost::MakeHumanWriter(outputs[1])};
  Lines expected[2];
  {
    devhost::SessionReading readings[] = {devhost::SessionReading(host().ServerDir()),
                                          devhost::SessionReading(host().ServerDir())};
    devhost::Session sessions[] = {devhost::Session(host(), *writers[0]),
                                   devhost::Session(host(), *writers[1])};
    for (int i = 0; i < 2; ++i) {
      ASSERT_TRUE(readings[i].Read());
      sessions[i].Explain(readings[i], report_.chat_commands);
    }
    for (const auto& step : steps) {
      if (step.file != nullptr) {
        server_.WriteConfig(step.file);
      }
      for (int i = 0; i < 2; ++i) {
        sessions[i].Process(step.line, 1);
        const std::string& said = i == 0 ? step.json : step.text;
        if (!said.empty()) {
          expected[i].push_back(said);
        }
      }
    }
  }
  for (int i = 0; i < 2; ++i) {
    std::fclose(outputs[i]);
    std::ifstream in(paths[i], std::ios::binary);
    Lines written;
    for (std::string line; std::getline(in, line);) {
      written.push_back(line);
    }
    EXPECT_EQ(written, expected[i]) << paths[i];
  }
}

TEST_F(ReloadSessionTest, StartWithABadEntryRegistersNothing) {
#if defined(_WIN32)
  GTEST_SKIP() << "on Windows the entry point logs the failure and LoadLibrary fails: "
                  "WindowsEntryPointTest covers it";
#endif
  server_.WriteConfig(R"({"ChatCommands":[{"Command":"/a"},{"Command":1},{"Command":"/c"}]})");
  ASSERT_FALSE(Load());
  EXPECT_FALSE(report_.ok);
  EXPECT_EQ(report_.error, "[json.exception.type_error.302] type must be string, but is number");
  EXPECT_TRUE(report_.chat_commands.empty());
  EXPECT_TRUE(report_.console_commands.empty());
  EXPECT_TRUE(host().Registry().ChatNames().empty());
  EXPECT_EQ(events_, std::vector<std::string>{
                         "log [devhost][error] plugin failed to start: "
                         "[json.exception.type_error.302] type must be string, but is number"});
}

TEST_F(ReloadSessionTest, EntryPointActsOnProcessAttachAloneAndAlwaysReportsSuccess) {
#if defined(_WIN32)
  GTEST_SKIP() << "calls the entry point through dlopen: WindowsEntryPointTest drives it through "
                  "the Windows loader";
#else
  server_.WriteConfig(kStartConfig);
  void* library = dlopen(QUORVANE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto entry = reinterpret_cast<DllEntryPoint>(dlsym(library, "DllMain"));
  ASSERT_NE(entry, nullptr);

  for (unsigned long reason : {2ul, 3ul, 0ul}) {
    EXPECT_EQ(entry(library, reason, nullptr), 1) << reason;
  }
  EXPECT_TRUE(host().Registry().ChatNames().empty());
  EXPECT_EQ(entry(library, 1, nullptr), 1);
  for (unsigned long reason : {2ul, 3ul, 0ul}) {
    EXPECT_EQ(entry(library, reason, nullptr), 1) << reason;
  }
  EXPECT_EQ(host().Registry().ChatNames().size(), 3u);
  EXPECT_EQ(host().Registry().ConsoleNames().size(), 1u);
  Type("/help");  // process detach withdrew nothing and dropped nothing
  EXPECT_EQ(events_, std::vector<std::string>{"alice ClientChat Help v1"});

  host().Registry().Clear();  // the callbacks live in the library
  dlclose(library);
#endif
}

}  // namespace
