#include "plugin/ReloadCommand.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "bridge/FString.h"
#include "config/ConfigDocument.h"
#include "plugin/StartPlugin.h"
#include "tests/support/PluginTest.h"
#include "tests/support/Recordings.h"

using quorvane::ConfigDocument;
using quorvane::ReloadConfig;
using quorvane::StartPlugin;

namespace {

using json = nlohmann::json;
using test_support::PluginTest;

constexpr const char* kGood =
    R"({"ChatCommands":[{"Command":"/a","Type":"ClientChat","Reply":"old"}]})";

// Screen messages and log lines in the order they happened, log timestamps cut off.
class ReloadCommandTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    test_support::RecordEvents(events_);
    server_.WriteConfig(kGood);
    StartPlugin();
  }
  void Reload(FString* command = nullptr, bool flag = false) {
    ReloadConfig(&Player(), command, flag);
  }
  std::vector<std::string> events_;
};

TEST_F(ReloadCommandTest, FailedLoadAnswersRedThenLogsAndKeepsTheLastGoodFile) {
  const struct {
    const char* name;
    const char* file;  // null: no file
    const char* logged;
    bool fifo = false;  // a FIFO instead of the file: never opened, so the reload cannot block
  } cases[] = {
    {"missing file", nullptr, "[Quorvane][error] Can't open config.json"},
    {"syntax error", R"({"ChatCommands":[{"Command":)",
     "[Quorvane][error] [json.exception.parse_error.101] parse error at 29: syntax error - "
     "unexpected end of input; expected '[', '{', or a literal"},
#if !defined(_WIN32)
    {"FIFO", nullptr, "[Quorvane][error] Can't open config.json", true},
#endif
  };
  const json good = json::parse(kGood);
  for (const auto& c : cases) {
    events_.clear();
    if (c.fifo) {
#if !defined(_WIN32)
      ASSERT_TRUE(server_.MakeConfigFifo());
#endif
    } else if (c.file == nullptr) {
      server_.RemoveConfig();
    } else {
      server_.WriteConfig(c.file);
    }
    auto reload = std::async(std::launch::async, [this] { Reload(); });
    if (reload.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
      ADD_FAILURE() << c.name << ": the reload waits";
#if !defined(_WIN32)
      // A writer lets a reader stuck opening the FIFO go on, so the test ends.
      close(open(server_.ConfigPath().c_str(), O_WRONLY | O_NONBLOCK));
#endif
    }
    reload.get();
    EXPECT_EQ(events_, (std::vector<std::string>{"ServerChat (1, 0, 0, 1) Failed to reload config",
                                                 std::string("log ") + c.logged}))
        << c.name;
    EXPECT_EQ(ConfigDocument, good) << c.name;
  }
}

TEST_F(ReloadCommandTest, StringAndFlagArgumentsMakeNoDifference) {
  FString typed = FString::FromNarrow("Quorvane.Reload now");
  for (FString* command : {static_cast<FString*>(nullptr), static_cast<FString*>(&typed)}) {
    for (bool flag : {false, true}) {
      events_.clear();
      Reload(command, flag);
      EXPECT_EQ(events_, std::vector<std::string>{"ServerChat (0, 1, 0, 1) Reloaded config"});
    }
  }
}

TEST_F(ReloadCommandTest, ServerConsoleWithoutPlayerReloadsAndSendsNothing) {
  server_.WriteConfig(R"({"ChatCommands":[]})");
  ReloadConfig(nullptr, nullptr, false);
  EXPECT_TRUE(events_.empty());
  EXPECT_EQ(ConfigDocument, json({{"ChatCommands", json::array()}}));
}

}  // namespace
