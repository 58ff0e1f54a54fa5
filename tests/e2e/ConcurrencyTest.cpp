// Several threads type chat commands while another reloads the configuration, all through the
// development host. The plugin takes no lock of its own and relies on the host running one
// callback at a time; the ThreadSanitizer build runs this test to prove that is enough.

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "devhost/host/PluginLoader.h"
#include "tests/support/TestSupport.h"

namespace {

using devhost::DispatchResult;
using devhost::ScreenMessage;
using test_support::HostTest;
using test_support::Utf8;

constexpr int kChatThreads = 4;
constexpr int kDispatchesPerThread = 200;
constexpr int kReloads = 60;
const char* const kCommands[] = {"/rules", "/help", "/wipe"};

// Generation `tag` of the configuration: same commands and kinds, replies carrying the tag.
std::string Config(const std::string& tag) {
  return R"({"ChatCommands":[
    {"Command":"/rules","Type":"ServerChat","Reply":"rules )" +
         tag + R"(","Color":[1,0.5,0,1]},
    {"Command":"/help","Type":"ClientChat","Reply":"help )" +
         tag + R"("},
    {"Command":"/wipe","Type":"Notification","Reply":"wipe )" +
         tag + R"(","Color":[1,1,1,1],
     "DisplayScale":1.5,"DisplayTime":10}]})";
}

// Valid "ChatCommands" followed by a syntax error: the reload fails, whichever way a partial
// parse is treated the commands keep answering with generation B's replies or the last good.
std::string BrokenConfig() {
  std::string text = Config("B");
  text.pop_back();  // the closing brace
  return text + R"(,"Broken":[1,})";
}

void WaitFor(const std::atomic<bool>& flag) {
  while (!flag) {
    std::this_thread::yield();
  }
}

struct ChatOutcome {
  int command = 0;
  DispatchResult result;
};

using ConcurrencyTest = HostTest;

TEST_F(ConcurrencyTest, ChatDispatchesAndReloadsFromManyThreadsStayConsistent) {
  server_.WriteConfig(Config("A"));
  devhost::StartReport report;
  auto plugin = devhost::LoadedPlugin::Load(QUORVANE_PLUGIN_PATH, report);
  ASSERT_TRUE(plugin) << report.error;

  std::vector<AShooterPlayerController*> players;
  for (int t = 0; t < kChatThreads; ++t) {
    players.push_back(&Player("player" + std::to_string(t)));
  }
  auto& admin = Player("admin");

  std::atomic<bool> go{false};
  std::atomic<int> running{kChatThreads + 1};
  std::vector<std::vector<ChatOutcome>> outcomes(kChatThreads);
  std::vector<DispatchResult> reloads(kReloads);
  std::vector<std::thread> threads;

  for (int t = 0; t < kChatThreads; ++t) {
    threads.emplace_back([&, t] {
      WaitFor(go);
      for (int i = 0; i < kDispatchesPerThread; ++i) {
        const int command = (i + t) % 3;
        // Words after the command and other channels must not matter.
        const std::string line = std::string(kCommands[command]) + (i % 2 ? " extra" : "");
        outcomes[t].push_back({command, host().DispatchChat(players[t], line)});
      }
      --running;
    });
  }
  threads.emplace_back([&] {
    WaitFor(go);
    for (int i = 0; i < kReloads; ++i) {
      // Only this thread writes the file, and each write ends before its reload starts.
      server_.WriteConfig(i % 3 == 0 ? Config("A") : i % 3 == 1 ? Config("B") : BrokenConfig());
      reloads[i] = host().DispatchConsole(i % 2 ? &admin : nullptr, "Quorvane.Reload");
    }
    --running;
  });
  // Readers of the host's shared state alongside the dispatches.
  threads.emplace_back([&] {
    WaitFor(go);
    while (running > 0) {
      (void)host().Allocator().Stats();
      (void)host().Registry().ChatNames();
      (void)host().Registry().FindChat(u"/HELP");
      std::this_thread::yield();
    }
  });
  go = true;
  for (auto& thread : threads) {
    thread.join();
  }

  for (int i = 0; i < kReloads; ++i) {
    EXPECT_EQ(reloads[i].status, DispatchResult::Status::Done) << reloads[i].error;
  }
  // The admin typed every other reload; each got its answer, red for the broken file.
  ASSERT_EQ(admin.Screen().size(), static_cast<std::size_t>(kReloads / 2));
  for (int i = 1, shown = 0; i < kReloads; i += 2, ++shown) {
    EXPECT_EQ(Utf8(admin.Screen()[shown].text),
              i % 3 == 2 ? "Failed to reload config" : "Reloaded config");
  }

  const ScreenMessage::Kind kinds[] = {ScreenMessage::Kind::ServerChat,
                                       ScreenMessage::Kind::ClientChat,
                                       ScreenMessage::Kind::Notification};
  const char* const names[] = {"rules", "help", "wipe"};
  for (int t = 0; t < kChatThreads; ++t) {
    const auto& screen = players[t]->Screen();
    ASSERT_EQ(screen.size(), static_cast<std::size_t>(kDispatchesPerThread)) << "thread " << t;
    for (int i = 0; i < kDispatchesPerThread; ++i) {
      const ChatOutcome& outcome = outcomes[t][i];
      ASSERT_EQ(outcome.result.status, DispatchResult::Status::Done) << outcome.result.error;
      // Each reply comes whole from one generation: never torn between two files.
      const std::string text = Utf8(screen[i].text);
      const std::string name = names[outcome.command];
      EXPECT_TRUE(text == name + " A" || text == name + " B") << text;
      EXPECT_EQ(screen[i].kind, kinds[outcome.command]);
    }
  }
  plugin.reset();
}

}  // namespace
