// StartPluginLogged tells the Windows entry point which failures StartPlugin has logged
// already, so each failed start is logged exactly once.

#include <stdexcept>

#include <gtest/gtest.h>

#include "plugin/StartPlugin.h"
#include "tests/support/PluginTest.h"

namespace {

using StartFailureLoggedTest = test_support::PluginTest;

TEST_F(StartFailureLoggedTest, OnlyTheRethrownConfigFailureCountsAsLogged) {
  try {
    StartPlugin();
    FAIL() << "started without config.json";
  } catch (const std::exception& error) {
    EXPECT_TRUE(StartPluginLogged(error));
    EXPECT_FALSE(StartPluginLogged(std::runtime_error(error.what())));
  }

  // A registration failure is not logged by StartPlugin, and an earlier logged failure must not
  // make it look logged.
  server_.WriteConfig(R"({"ChatCommands":[{"Command":["/x"],"Type":"ClientChat","Reply":""}]})");
  log_.Clear();
  try {
    StartPlugin();
    FAIL() << "registered a command that is not a string";
  } catch (const std::exception& error) {
    EXPECT_FALSE(StartPluginLogged(error));
  }
  EXPECT_TRUE(LogLines().empty());
  host().Registry().Clear();
}

}  // namespace
