#include "plugin/ReloadCommand.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "bridge/FString.h"
#include "config/ConfigDocument.h"
#include "devhost/lib/LineSink.h"
#include "plugin/StartPlugin.h"
#include "tests/support/PluginTest.h"
#include "tests/support/Recordings.h"

namespace {

using json = nlohmann::json;
using test_support::PluginTest;

#if !defined(_WIN32)
// Should a reader get stuck opening the FIFO, opens it for writing after `limit` and so lets
// the reader go on: a regression then fails the test instead of hanging it.
class FifoRelease {
 public:
  FifoRelease(const std::filesystem::path& fifo, std::chrono::milliseconds limit)
      : thread_([this, fifo, limit] {
          std::unique_lock<std::mutex> lock(mutex_);
          if (!done_changed_.wait_for(lock, limit, [this] { return done_; })) {
            const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
              close(fd);
            }
          }
        }) {}
  ~FifoRelease() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    done_changed_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_changed_;
  bool done_ = false;
  std::thread thread_;  // last: it uses the members above
};
#endif

constexpr const char* kGood =
    R"({"ChatCommands":[{"Command":"/a","Type":"ClientChat","Reply":"old"}]})";

// Screen messages and log lines in the order they happened, log timestamps cut off.
class ReloadCommandTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    host().SetSinks({std::make_shared<devhost::LineSink>(
        [this](const std::string& line) { events_.push_back("log " + line.substr(15)); })});
    host().SetScreenListener(
        [this](const AShooterPlayerController&, const devhost::ScreenMessage& message) {
          events_.push_back(test_support::ScreenText(message));
        });
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
     "[Quorvane][error] [json.exception.parse_error.101] parse error at line 1, column 29: "
     "syntax error while parsing value - unexpected end of input; expected '[', '{', or a "
     "literal"},
#if !defined(_WIN32)
    {"FIFO", nullptr, "[Quorvane][error] Can't open config.json", true},
#endif
  };
  const json good = json::parse(kGood);
  for (const auto& c : cases) {
    events_.clear();
    const auto started = std::chrono::steady_clock::now();
#if !defined(_WIN32)
    std::optional<FifoRelease> release;
#endif
    if (c.fifo) {
#if !defined(_WIN32)
      server_.MakeConfigFifo();
      release.emplace(server_.ConfigPath(), std::chrono::seconds(1));
#endif
    } else if (c.file == nullptr) {
      server_.RemoveConfig();
    } else {
      server_.WriteConfig(c.file);
    }
    Reload();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << c.name;
    EXPECT_EQ(events_, (std::vector<std::string>{"ServerChat (1, 0, 0, 1) Failed to reload config",
                                                 std::string("log ") + c.logged}))
        << c.name;
    EXPECT_EQ(ConfigDocument, good) << c.name;
  }
}

TEST_F(ReloadCommandTest, StringAndFlagArgumentsMakeNoDifference) {
  FString typed = FString::FromNarrow("Quorvane.Reload now");
  for (FString* command : {static_cast<FString*>(nullptr), &typed}) {
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
