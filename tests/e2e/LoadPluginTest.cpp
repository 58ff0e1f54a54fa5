// Loads the built plugin library exactly as the development host's program does.

#include <gtest/gtest.h>

#include "devhost/host/PluginLoader.h"
#include "tests/support/TestSupport.h"

namespace {

using test_support::HostTest;

using LoadPluginTest = HostTest;

TEST_F(LoadPluginTest, ExampleConfigStartsAndAnswersEachReplyKind) {
  server_.WriteConfig(R"({"ChatCommands":[
    {"Command":"/rules","Type":"ServerChat","Reply":"No building.","Color":[1,0.5,0,1]},
    {"Command":"/help","Type":"ClientChat","Reply":"Ask an admin"},
    {"Command":"/wipe","Type":"Notification","Reply":"Friday","Color":[1,1,1,1],
     "DisplayScale":1.5,"DisplayTime":10}]})");
  devhost::StartReport report;
  auto plugin = devhost::LoadedPlugin::Load(QUORVANE_PLUGIN_PATH, report);
  ASSERT_TRUE(plugin) << report.error;
  EXPECT_EQ(report.chat_commands, (std::vector<std::string>{"/rules", "/help", "/wipe"}));
  EXPECT_EQ(report.console_commands, std::vector<std::string>{"Quorvane.Reload"});

  auto& alice = Player("alice");
  for (const char* line : {"/rules", "/HELP now", "/wipe"}) {
    EXPECT_EQ(host().DispatchChat(&alice, line).status, devhost::DispatchResult::Status::Done);
  }
  ASSERT_EQ(alice.Screen().size(), 3u);
  EXPECT_EQ(alice.Screen()[0].text, u"No building.");
  EXPECT_EQ(alice.Screen()[1].sender, u"Server");
  EXPECT_FLOAT_EQ(alice.Screen()[2].scale, 1.5f);
  plugin.reset();
}

}  // namespace
