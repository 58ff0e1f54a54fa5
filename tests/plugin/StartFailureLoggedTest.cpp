// StartPluginLogged tells the Windows entry point which failures StartPlugin has logged
// already, so each failed start is logged exactly once.

#include <exception>

#include <gtest/gtest.h>

#include "plugin/StartPlugin.h"
#include "tests/support/PluginTest.h"

using quorvane::StartPlugin;
using quorvane::StartPluginLogged;

namespace {

using StartFailureLoggedTest = test_support::PluginTest;

TEST_F(StartFailureLoggedTest, OnlyTheConfigFailureCountsAsLogged) {
  try {
    StartPlugin();
    FAIL() << "started without config.json";
  } catch (const std::exception&) {
    EXPECT_TRUE(StartPluginLogged());
  }

  // A registration failure is not logged by StartPlugin, and an earlier logged failure must not
  // make it look logged.
  server_.WriteConfig(R"({"ChatCommands":[{"Command":["/x"],"Type":"ClientChat","Reply":""}]})");
  log_.Clear();
  try {
    StartPlugin();
    FAIL() << "registered a command that is not a string";
  } catch (const std::exception&) {
    EXPECT_FALSE(StartPluginLogged());
  }
  EXPECT_TRUE(LogLines().empty());
  host().Registry().Clear();
}

}  // namespace
