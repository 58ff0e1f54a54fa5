#include "plugin/StartPlugin.h"

#include <regex>
#include <stdexcept>

#include <gtest/gtest.h>

#include "plugin/EntryPoint.h"
#include "tests/support/PluginTest.h"

namespace {

using test_support::PluginTest;

using StartPluginTest = PluginTest;

TEST_F(StartPluginTest, MissingConfigLogsOneErrorLineRethrowsAndRegistersNothing) {
  try {
    StartPlugin();
    FAIL() << "StartPlugin should have thrown";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Can't open config.json");
  }
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(std::regex_match(
      lines[0], std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d \[Quorvane\]\[error\] Can't open config.json)")))
      << lines[0];
  EXPECT_TRUE(host().Registry().ChatNames().empty());
  EXPECT_TRUE(host().Registry().ConsoleNames().empty());
  EXPECT_TRUE(ConfigDocument.is_null());
}

}  // namespace
